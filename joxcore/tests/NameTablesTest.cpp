#include <joxcore/NameTables.h>

#include <gtest/gtest.h>

namespace {

using namespace JoxCore;

TEST(NameTablesTest, KeyAndDisplayTablesPairUp)
{
    const std::pair<const NameTable*, const NameTable*> pairs[] = {
        {&TransportModeKeys, &TransportModeNames}, {&ChannelTypeKeys, &ChannelTypeNames},
        {&ChannelStateKeys, &ChannelStateNames},   {&TimecodeTypeKeys, &TimecodeTypeNames},
        {&GroupModeKeys, &GroupModeNames},         {&ControlProtocolKeys, &ControlProtocolNames}};
    const size_t sizes[] = {10, 6, 6, 23, 4, 6};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(pairs[i].first->size(), sizes[i]) << i;
        for (const auto& entry : *pairs[i].first)
            EXPECT_EQ(pairs[i].second->count(entry.first), 1u) << i << " " << entry.first;
    }
}

TEST(NameTablesTest, Lookups)
{
    EXPECT_EQ(TableText(ChannelStateNames, 1), "DISCONNECTED");
    EXPECT_EQ(TableText(TimecodeTypeNames, 6), "VTRTC (RS-422)");
    EXPECT_EQ(TableText(TimecodeTypeKeys, 23), "");
    EXPECT_EQ(TableText(TimecodeTypeNames, 23), "");
    EXPECT_EQ(TableText(ControlProtocolKeys, 0), "Unknwon");
    EXPECT_EQ(TableText(ControlProtocolKeys, 3), "");
    EXPECT_EQ(TableText(ControlProtocolNames, 3), "");
    EXPECT_EQ(TableValue(GroupModeKeys, "harlen", 0), 3);
    EXPECT_EQ(TableValue(GroupModeKeys, "clone", 0), 2);
    EXPECT_EQ(TableValue(GroupModeKeys, "Harlen", 0), 0);
    EXPECT_EQ(TableValue(GroupModeKeys, "", 7), 7);
    // The lowest value wins where texts repeat.
    EXPECT_EQ(TableValue(TransportModeKeys, "Unknown", 5), 0);
}

} // namespace
