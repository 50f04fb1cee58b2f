// A program of its own that refers to nothing of the codec library but the
// MPEG-2 preset table, so that the table's file is initialised before the
// files it builds on: the presets must come out the same.
#include <joxcore/Mpeg2Presets.h>

#include <gtest/gtest.h>

namespace {

using namespace JoxCore;

TEST(Mpeg2PresetTableOnlyTest, PresetsCarryTheirUuidWhateverTheInitialisationOrder)
{
    ASSERT_EQ(Mpeg2Presets.size(), 3u);
    ASSERT_EQ(Mpeg2PresetIndexes.size(), 3u);
    for (const auto& rIndex : Mpeg2PresetIndexes) {
        const auto preset = Mpeg2Presets.find(rIndex.second);
        ASSERT_NE(preset, Mpeg2Presets.end()) << rIndex.first;
        EXPECT_EQ(preset->second.GetAdditional("jox_preset_uuid"), rIndex.second.toString()) << rIndex.first;
        EXPECT_EQ(preset->second.Additionals().size(), 1) << rIndex.first;
    }
    EXPECT_EQ(Mpeg2Presets.at(Mpeg2PresetIndexes.at(2)).GetOption("mpegvc_averagebitrate"),
              QStringLiteral("25000000"));
}

} // namespace
