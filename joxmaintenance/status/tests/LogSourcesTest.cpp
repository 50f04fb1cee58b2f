#include <joxmaintenance/LogSources.h>

#include "joxmaintenanceH.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace joxmaintenance;

namespace {

TEST(LogSourcesTest, DisplayNames)
{
    EXPECT_EQ(21u, LogSourceNames().size());
    const struct
    {
        const char* mpName;
        const char* mpDisplay;
    } cases[] = {{"harlenws3", "Channel 3 web service"},
                 {"harlenchannel8", "Channel 8"},
                 {"harlenchannel1", "Channel 1"},
                 {"quorelagentlogs", "Agent logs"},
                 {"quorelagentfiles", "Additional agent files"},
                 {"quorelwebservicelogs", "Web service logs"},
                 {"systemlogs", "Logs"},
                 {"systemconfigurations", "Configurations"},
                 {"harlenchannel9", "harlenchannel9"},
                 {"SystemLogs", "SystemLogs"}};
    for (const auto& rCase : cases)
        EXPECT_EQ(QString::fromUtf8(rCase.mpDisplay), LogSourceDisplayName(rCase.mpName)) << rCase.mpName;
    // Names are UTF-8, as the SOAP context holds them.
    EXPECT_EQ(QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC"), LogSourceDisplayName("caf\xC3\xA9 \xE2\x82\xAC"));
}

TEST(LogSourcesTest, EntriesRefuseAnEmptyType)
{
    try
    {
        LogEntry entry("", "2026-01-01T00:00:00", 5);
        FAIL() << "no exception";
    }
    catch (const std::invalid_argument& rError)
    {
        EXPECT_STREQ("empty logtype is not allowed for log entries.", rError.what());
    }
    LogEntry entry("systemlogs", "", -3);
    EXPECT_EQ(-3, entry.GetDurationSeconds());
}

class LogSourcesWireTest : public ::testing::Test
{
protected:
    ~LogSourcesWireTest() override
    {
        soap_destroy(mpSoap);
        soap_end(mpSoap);
        soap_free(mpSoap);
    }
    struct soap* mpSoap = soap_new();
};

TEST_F(LogSourcesWireTest, ToTheWire)
{
    EXPECT_EQ(nullptr, LogEntryList2SoapListPointer(mpSoap, LogEntryList()));
    LogEntryList entries = {LogEntry("harlenchannel2", "2026-03-01T10:00:00", 60), LogEntry("systemlogs", "t", 7)};
    jox__AvailableLogsListType* pList = LogEntryList2SoapListPointer(mpSoap, entries);
    ASSERT_NE(nullptr, pList);
    ASSERT_EQ(2u, pList->Source.size());
    EXPECT_EQ("harlenchannel2", pList->Source[0]->Type);
    EXPECT_EQ("2026-03-01T10:00:00", pList->Source[0]->StartTime);
    EXPECT_EQ(60, pList->Source[0]->DurationSeconds);
    EXPECT_EQ("systemlogs", pList->Source[1]->Type);
}

TEST_F(LogSourcesWireTest, FromTheWireStopsAtAnEmptyType)
{
    jox__AvailableLogsType first;
    first.Type = "harlenws1";
    first.StartTime = "s";
    first.DurationSeconds = 1;
    jox__AvailableLogsType empty;
    jox__AvailableLogsType third = first;
    jox__AvailableLogsListType list;
    list.Source = {&first, &empty, &third};
    LogEntryList entries = {LogEntry("existing", "", 0)};
    EXPECT_THROW(SoapListPointer2LogEntryList(&list, entries), std::invalid_argument);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("harlenws1", entries.back().GetType());
    SoapListPointer2LogEntryList(nullptr, entries);
    EXPECT_EQ(2u, entries.size());
}

} // namespace
