#include "LogCapture.h"

#include <joxmaintenance/CommandStatusConversion.h>
#include <joxmaintenance/CommandType.h>

#include "joxmaintenanceH.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <thread>

using namespace joxmaintenance;

namespace {

TEST(CommandTypeTest, WireAndDisplayTexts)
{
    EXPECT_EQ(ct_fetchlog, CommandTypeFromString("ct_fetchlog"));
    EXPECT_EQ(ct_logstatus, CommandTypeFromString("ct_logstatus"));
    for (const char* pText : {"CT_FETCHLOG", "", "ct_unknown", "ct_fetchlog "})
        EXPECT_EQ(ct_unknown, CommandTypeFromString(pText)) << pText;
    EXPECT_EQ("ct_collectlog", CommandTypeToString(6));
    EXPECT_EQ("ct_unknown", CommandTypeToString(0));
    EXPECT_EQ("ct_unknown", CommandTypeToString(12));
    EXPECT_EQ("Gather logs", CommandTypeDisplayName(1));
    EXPECT_EQ("Query log status", CommandTypeDisplayName(9));
    EXPECT_EQ("Unknown command", CommandTypeDisplayName(12));
    EXPECT_EQ("Unknown command", CommandTypeDisplayName(-1));

    EXPECT_EQ(cs_disconnected, CommandStateFromString("cs_disconnected"));
    EXPECT_EQ(cs_pending, CommandStateFromString("cs_pending"));
    for (const char* pText : {"cs_failed", "", "CS_RUNNING", "done"})
        EXPECT_EQ(cs_failed, CommandStateFromString(pText)) << pText;
    EXPECT_EQ("cs_canceled", CommandStateToString(3));
    EXPECT_EQ("cs_failed", CommandStateToString(2));
    EXPECT_EQ("cs_failed", CommandStateToString(9));
    EXPECT_EQ("Finished", CommandStateDisplayName(4));
    EXPECT_EQ("Failed", CommandStateDisplayName(9));
}

TEST(CommandStatusTest, GatherCommandsHaveTwoPhases)
{
    maintenancetest::LogCapture log;
    CommandStatus status("{id}", "", ct_loggather, cs_pending);
    EXPECT_EQ(2, status.GetTotalPhases());
    status.SetProgressPercent(40);
    EXPECT_DOUBLE_EQ(20.0, status.GetProgressPercent());
    status.FinishPhase();
    EXPECT_DOUBLE_EQ(50.0, status.GetProgressPercent());
    EXPECT_EQ(1, status.GetFinishedPhases());
    EXPECT_EQ(cs_pending, status.GetCommandStatus());
    status.SetProgressPercent(40);
    EXPECT_DOUBLE_EQ(70.0, status.GetProgressPercent());
    status.FinishPhase();
    EXPECT_DOUBLE_EQ(100.0, status.GetProgressPercent());
    EXPECT_EQ(2, status.GetFinishedPhases());
    EXPECT_EQ(cs_finished, status.GetCommandStatus());
    EXPECT_TRUE(log.GetRecords().empty());

    status.FinishPhase();
    EXPECT_DOUBLE_EQ(100.0, status.GetProgressPercent());
    EXPECT_EQ(2, status.GetFinishedPhases());
    const std::vector<maintenancetest::LogRecord> records = log.GetRecords();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(3, records[0].mLevel);
    EXPECT_EQ(0, records[0].mSubtype);
    EXPECT_EQ("maintenance", records[0].mCategory);
    EXPECT_EQ("SetProgressPercent - set progress of an already finished command. Default to 100%", records[0].mMessage);
    EXPECT_EQ("joxmaintenance::CommandStatus::SetProgressPercent", records[0].mFunction);
}

TEST(CommandStatusTest, OtherCommandsFinishInOnePhase)
{
    CommandStatus status("{id}", "10.0.0.1", ct_fetchlog, cs_running, 0, 12.0);
    EXPECT_EQ(1, status.GetTotalPhases());
    EXPECT_DOUBLE_EQ(12.0, status.GetProgressPercent());
    status.FinishPhase();
    EXPECT_DOUBLE_EQ(100.0, status.GetProgressPercent());
    EXPECT_EQ(1, status.GetFinishedPhases());
    EXPECT_EQ(cs_finished, status.GetCommandStatus());
    CommandStatus copy(status);
    EXPECT_EQ("10.0.0.1", copy.GetClientIp());
    EXPECT_EQ(cs_finished, copy.GetCommandStatus());
}

TEST(CommandStatusListTest, AddKeepsTheFirstAndGetFindsByIdentifier)
{
    CommandStatusListPtr pList = boost::make_shared<CommandStatusList>();
    CommandStatusPtr pFirst = boost::make_shared<CommandStatus>("{a}", "", ct_logstatus, cs_running);
    {
        LockedCommandStatusList locked = LockForWrite(pList);
        EXPECT_TRUE(locked->Add(pFirst));
        EXPECT_FALSE(locked->Add(boost::make_shared<CommandStatus>("{a}", "", ct_fetchlog, cs_failed)));
        EXPECT_FALSE(locked->Add(CommandStatusPtr()));
        // The lock is recursive: the same thread may take it again.
        LockedCommandStatusList again = LockForWrite(pList);
        EXPECT_EQ(pFirst, again->Get("{a}"));
    }
    LockedCommandStatusList reading = LockForRead(pList);
    EXPECT_EQ(1u, reading->size());
    EXPECT_EQ(nullptr, reading->Get("{b}"));
    EXPECT_FALSE(LockForWrite(CommandStatusListPtr()));
}

TEST(CommandStatusListTest, TheGlobalListIsOneListForAllThreads)
{
    CommandStatusListPtr pSeen[4];
    std::thread threads[4];
    for (int i = 0; i < 4; ++i)
        threads[i] = std::thread([&pSeen, i] { pSeen[i] = GlobalCommandStatusList(); });
    for (std::thread& rThread : threads)
        rThread.join();
    for (const CommandStatusListPtr& rpList : pSeen)
        EXPECT_EQ(GlobalCommandStatusList(), rpList);
    EXPECT_NE(nullptr, GlobalCommandStatusList());
}

class StatusConversionTest : public ::testing::Test
{
protected:
    ~StatusConversionTest() override
    {
        soap_destroy(mpSoap);
        soap_end(mpSoap);
        soap_free(mpSoap);
    }
    struct soap* mpSoap = soap_new();
};

TEST_F(StatusConversionTest, ToTheWire)
{
    EXPECT_EQ(nullptr, CommandStatus2SoapPointer(mpSoap, CommandStatusPtr()));
    EXPECT_EQ(nullptr, CommandStatus2SoapPointer(mpSoap, boost::make_shared<CommandStatus>("", "", ct_fetchlog, 0)));

    CommandStatusPtr pStatus = boost::make_shared<CommandStatus>(QString::fromUtf8("{\xC3\xA9}"), "", ct_collectlog, cs_pending);
    jox__CommandStatusType* pWire = CommandStatus2SoapPointer(mpSoap, pStatus);
    ASSERT_NE(nullptr, pWire);
    EXPECT_EQ("{\xC3\xA9}", pWire->CommandID);
    EXPECT_EQ("", pWire->ClientIP);
    EXPECT_EQ("ct_collectlog", pWire->CommandType);
    EXPECT_EQ("cs_pending", pWire->CommandStatus);
    EXPECT_EQ(0.0, pWire->ProgressPercent);
    EXPECT_EQ(0, pWire->FinishedPhases);
    EXPECT_EQ(nullptr, pWire->ProgressDetails);
    EXPECT_EQ(nullptr, pWire->ErrorDetails);

    pStatus->SetProgressDetails(QString::fromUtf8("half \xE2\x82\xAC"));
    pStatus->SetErrorDetails("none");
    pWire = CommandStatus2SoapPointer(mpSoap, pStatus);
    ASSERT_NE(nullptr, pWire->ProgressDetails);
    EXPECT_EQ("half \xE2\x82\xAC", *pWire->ProgressDetails);
    ASSERT_NE(nullptr, pWire->ErrorDetails);
    EXPECT_EQ("none", *pWire->ErrorDetails);
}

TEST_F(StatusConversionTest, FromTheWire)
{
    EXPECT_EQ(nullptr, SoapPointer2CommandStatus(nullptr));
    jox__CommandStatusType wire;
    wire.CommandID = "{x}";
    wire.ClientIP = "10.2.3.4";
    wire.CommandType = "ct_loggather";
    wire.CommandStatus = "weird";
    wire.ProgressPercent = 55.5;
    wire.FinishedPhases = 1;
    std::string details = "caf\xC3\xA9";
    wire.ProgressDetails = &details;
    CommandStatusPtr pStatus = SoapPointer2CommandStatus(&wire);
    ASSERT_NE(nullptr, pStatus);
    EXPECT_EQ("{x}", pStatus->GetCommandId());
    EXPECT_EQ("10.2.3.4", pStatus->GetClientIp());
    EXPECT_EQ(ct_loggather, pStatus->GetCommandType());
    EXPECT_EQ(2, pStatus->GetTotalPhases());
    EXPECT_EQ(cs_failed, pStatus->GetCommandStatus());
    EXPECT_DOUBLE_EQ(55.5, pStatus->GetProgressPercent());
    EXPECT_EQ(1, pStatus->GetFinishedPhases());
    EXPECT_EQ(QString::fromUtf8("caf\xC3\xA9"), pStatus->GetProgressDetails());
    EXPECT_TRUE(pStatus->GetErrorDetails().isEmpty());

    jox__CommandStatusType duplicate = wire;
    duplicate.ClientIP = "second";
    jox__CommandStatusType other;
    other.CommandID = "{y}";
    jox__CommandStatusListType list;
    list.Status = {&wire, nullptr, &duplicate, &other};
    CommandStatusListPtr pList = boost::make_shared<CommandStatusList>();
    SoapListPointer2CommandStatusList(LockForWrite(pList), &list);
    SoapListPointer2CommandStatusList(LockForWrite(pList), nullptr);
    LockedCommandStatusList reading = LockForRead(pList);
    EXPECT_EQ(2u, reading->size());
    EXPECT_EQ("10.2.3.4", reading->Get("{x}")->GetClientIp());
}

} // namespace
