#include <joxwsdd/JoxTypesMaster.h>
#include <joxwsdd/QNames.h>

#include <joxlog/JoxLog.h>

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

using JoxWsdd::JoxTypesMaster;

namespace {

class TypesHolder : public JoxTypesMaster
{
public:
    explicit TypesHolder(std::list<std::string> list = {}) : mList(std::move(list)) {}
    const std::list<std::string>& GetTypesList() const override { return mList; }
    void SetTypesList(const std::list<std::string>& rList) override { mList = rList; ++mWrites; }
    int mWrites = 0;

private:
    std::list<std::string> mList;
};

std::vector<std::string> gLogged;

void CaptureLog(int, int, const char* category, const char* message, const char*, int, const char*,
                const JoxCore::TimeStamp*)
{
    gLogged.push_back(std::string(category) + ": " + message);
}

} // namespace

TEST(JoxTypesMasterTest, ReadsItemsByExactKey)
{
    const TypesHolder holder({"tds:Device", "service_name__MOS", "service__x", "empty__", "a__b__c"});
    EXPECT_EQ(holder.GetServiceName(), "MOS");
    EXPECT_EQ(holder.GetServiceVersion(), "");
    // "service" is a key of its own and never answers for "service_name".
    EXPECT_EQ(holder.GetGenericType("service"), "x");
    EXPECT_EQ(holder.GetGenericType("empty"), "");
    EXPECT_EQ(holder.GetGenericType("a"), "b__c");
    EXPECT_EQ(holder.GetGenericType(nullptr), "");
    EXPECT_EQ(JoxTypesMaster::GetServiceName(holder.GetTypesList()), "MOS");
}

TEST(JoxTypesMasterTest, SettersAppendReplaceAndRemove)
{
    TypesHolder holder({"tds:Device", "service_name__MOS"});
    EXPECT_TRUE(holder.SetServiceVersion("1.2.3"));
    EXPECT_EQ(holder.GetTypesList(), std::list<std::string>({"tds:Device", "service_name__MOS", "service_version__1.2.3"}));
    EXPECT_TRUE(holder.SetServiceName("HARLEN"));
    EXPECT_EQ(holder.GetTypesList().size(), 3u);
    EXPECT_EQ(holder.GetServiceName(), "HARLEN");
    EXPECT_TRUE(holder.SetServiceVersion(""));
    EXPECT_EQ(holder.GetTypesList(), std::list<std::string>({"tds:Device", "service_name__HARLEN"}));
    // Removing an absent item changes nothing and still succeeds.
    EXPECT_TRUE(holder.SetHardwareName(""));
    EXPECT_EQ(holder.GetTypesList().size(), 2u);
    EXPECT_TRUE(holder.SetGenericType("custom", "v"));
    EXPECT_EQ(holder.GetGenericType("custom"), "v");
    EXPECT_FALSE(holder.SetGenericType(nullptr, "v"));

    // Only the first of duplicate items is touched.
    std::list<std::string> list = {"k__1", "k__2"};
    EXPECT_TRUE(JoxTypesMaster::SetSoftwareName(list, "x"));
    EXPECT_EQ(list, std::list<std::string>({"k__1", "k__2", "software_name__x"}));
}

TEST(JoxTypesMasterTest, InvalidKeysOrValuesAreRefusedAndLogged)
{
    JoxCore::SetLogHandler handler(CaptureLog);
    gLogged.clear();
    TypesHolder holder({"service_name__MOS"});
    EXPECT_FALSE(holder.SetServiceVersion("1 2"));
    EXPECT_FALSE(holder.SetGenericType("bad key", "v"));
    EXPECT_FALSE(holder.SetGenericType("bad__key", "v"));
    EXPECT_EQ(holder.GetTypesList(), std::list<std::string>({"service_name__MOS"}));
    EXPECT_EQ(holder.mWrites, 0);
    ASSERT_EQ(gLogged.size(), 3u);
    EXPECT_EQ(gLogged[0], "JoxTypesMaster : SetTypeValue: Key or value contains invalid characters.");
}

TEST(JoxTypesMasterTest, StatusIsCachedAndWritten)
{
    TypesHolder holder({"status_blockedby__someone"});
    EXPECT_EQ(holder.GetStatus(), JoxTypesMaster::eStatusFree);
    holder.SetStatus(JoxTypesMaster::eStatusBlocked, nullptr);
    EXPECT_EQ(holder.GetStatus(), JoxTypesMaster::eStatusBlocked);
    EXPECT_EQ(holder.GetTypesList(), std::list<std::string>({"status_name__blocked"}));
    holder.SetStatus(JoxTypesMaster::eStatusActive, "operator");
    EXPECT_EQ(holder.GetStatusBlockedBy(), "operator");
    holder.SetStatus(JoxTypesMaster::eStatusNone, nullptr);
    EXPECT_TRUE(holder.GetTypesList().empty());

    // The static setter leaves the cache until UpdateStatus.
    std::list<std::string> list = holder.GetTypesList();
    EXPECT_TRUE(JoxTypesMaster::SetStatusName(list, JoxTypesMaster::eStatusRestricted));
    holder.SetTypesList(list);
    EXPECT_EQ(holder.GetStatus(), JoxTypesMaster::eStatusNone);
    holder.UpdateStatus();
    EXPECT_EQ(holder.GetStatus(), JoxTypesMaster::eStatusRestricted);

    // Copies take the status only.
    TypesHolder other({"x"});
    static_cast<JoxTypesMaster&>(other) = holder;
    EXPECT_EQ(other.GetStatus(), JoxTypesMaster::eStatusRestricted);
    EXPECT_EQ(other.GetTypesList(), std::list<std::string>({"x"}));
}

TEST(JoxTypesMasterTest, StatusTexts)
{
    const struct
    {
        const char* mText;
        JoxTypesMaster::eStatus mStatus;
    } cases[] = {{"free", JoxTypesMaster::eStatusFree},       {"active", JoxTypesMaster::eStatusActive},
                 {"blocked", JoxTypesMaster::eStatusBlocked}, {"restricted", JoxTypesMaster::eStatusRestricted},
                 {"disconnected", JoxTypesMaster::eStatusDisconnected}};
    for (const auto& rCase : cases)
    {
        EXPECT_EQ(JoxTypesMaster::StatusFromString(rCase.mText), rCase.mStatus);
        EXPECT_STREQ(JoxTypesMaster::StatusToString(rCase.mStatus), rCase.mText);
    }
    EXPECT_EQ(JoxTypesMaster::StatusFromString("Free"), JoxTypesMaster::eStatusNone);
    EXPECT_EQ(JoxTypesMaster::StatusFromString(""), JoxTypesMaster::eStatusNone);
    EXPECT_EQ(JoxTypesMaster::StatusFromString(nullptr), JoxTypesMaster::eStatusNone);
    EXPECT_STREQ(JoxTypesMaster::StatusToString(JoxTypesMaster::eStatusNone), "");
    EXPECT_STREQ(JoxTypesMaster::StatusToString(static_cast<JoxTypesMaster::eStatus>(42)), "");
}

TEST(QNamesTest, SplitAndJoin)
{
    using JoxWsdd::SplitQNames;
    EXPECT_EQ(SplitQNames("a b c"), std::list<std::string>({"a", "b", "c"}));
    EXPECT_EQ(SplitQNames("a  b"), std::list<std::string>({"a", "b"}));
    EXPECT_EQ(SplitQNames(" a b "), std::list<std::string>({"", "a", "b", ""}));
    EXPECT_EQ(SplitQNames(""), std::list<std::string>({""}));
    EXPECT_TRUE(SplitQNames(nullptr).empty());

    std::list<std::string> out = {"kept"};
    SplitQNames(nullptr, out);
    EXPECT_EQ(out, std::list<std::string>({"kept"}));
    SplitQNames("x y", out);
    EXPECT_EQ(out, std::list<std::string>({"x", "y"}));

    EXPECT_EQ(JoxWsdd::JoinQNames({}), "");
    EXPECT_EQ(JoxWsdd::JoinQNames({"a"}), "a");
    EXPECT_EQ(JoxWsdd::JoinQNames(SplitQNames("tds:Device service_name__MOS")), "tds:Device service_name__MOS");
    EXPECT_EQ(JoxWsdd::JoinQNames(SplitQNames("a   b")), "a b");
}
