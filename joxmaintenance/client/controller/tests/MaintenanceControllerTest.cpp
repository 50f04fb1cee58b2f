#include "ControllerTestSupport.h"
#include "NetnsSandbox.h"
#include "PeerNamespace.h"
#include "SynDroppingListener.h"
#include "ModalDriver.h"

#include <joxmaintenance/CommandLogStatus.h>
#include <joxmaintenance/CommandPollWorker.h>
#include <joxmaintenance/CommandType.h>
#include <joxmaintenance/LockedCommandStatusList.h>
#include <joxmaintenance/MaintenanceController.h>

#include "ProcessResources.h"
#include "TempDir.h"

#include <QApplication>
#include <QMetaObject>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

using namespace joxmaintenance;
using controllertest::LocalServer;
using controllertest::LogCapture;
using joxguitest::ModalDriver;
using tandriltest::DescriptorLimit;
using tandriltest::ProcessEntries;

namespace {

const int kFastMs = 80;
const int kSlowMs = 250;

class ControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CommandPollWorker::SetIntervalsForTesting(kFastMs, kSlowMs);
        ASSERT_TRUE(mServer.IsRunning());
        mServer->SetLogSources({{"systemlogs", "2026-01-01T00:00:00", 60}, {"harlenchannel1", "", 5}});
    }
    void TearDown() override { CommandPollWorker::SetIntervalsForTesting(5000, 60000); }

    std::unique_ptr<MaintenanceController> MakeController(const QString& rUrl)
    {
        return std::make_unique<MaintenanceController>(rUrl, "selected", "sw", "svc");
    }

    // The simulated server reports pVersion as its service version.
    void ServeVersion(const char* pVersion)
    {
        simserver::ServerInformation information;
        information.mServiceVersion = pVersion;
        mServer->SetInformation(information);
    }

    // The debug records of requests abandoned with their server.
    int AbandonedRecords() const
    {
        int count = 0;
        for (const controllertest::Record& rRecord : mLog.Matching("Command: "))
            count += rRecord.mLevel == 7 && rRecord.mMessage.find(" abandoned with its server ") != std::string::npos;
        return count;
    }

    // The names of the files in a folder.
    static QStringList Files(const std::string& rFolder)
    {
        return QDir(QString::fromStdString(rFolder)).entryList(QDir::Files, QDir::Name);
    }

    LogCapture mLog;
    tandriltest::TempDir mServerFolder;
    tandriltest::TempDir mClientFolder;
    LocalServer mServer{mServerFolder.Path()};
};

bool WaitFor(const std::function<bool()>& rCondition, int timeoutMs = 10000)
{
    return QTest::qWaitFor(rCondition, timeoutMs);
}

TEST_F(ControllerTest, DrivesAServerEndToEnd)
{
    mServer->SetJobs({{"{job-1}", "10.0.0.9", "ct_collectlog", "cs_running", 40.0, 0, std::string("halfway"), {}}});
    ASSERT_TRUE(mServer->AddCollection("old.zip", "old content"));
    ASSERT_TRUE(mServer->AddCollection("keep.zip", "kept content"));
    auto pController = MakeController(mServer.Url());
    QSignalSpy sources(pController.get(), &MaintenanceController::SignalListAvailableLogsFinished);
    QSignalSpy collections(pController.get(), &MaintenanceController::SignalListLogConnectionsFinished);
    QSignalSpy statuses(pController.get(), &MaintenanceController::SignalCommandStatusListUpdate);
    QSignalSpy failures(pController.get(), &MaintenanceController::SignalCommandHandlingFailed);

    // Query: the server's own name replaces the selected one, and polling starts.
    pController->QueryMachineInformation();
    ASSERT_TRUE(WaitFor([&] { return pController->GetServerName() == "simserver"; }));
    ASSERT_EQ(mLog.Matching("Got Server Infomation successfully Name: simserver Server Version 1.0").size(), 1u);

    pController->ListAvailableLogs();
    ASSERT_TRUE(WaitFor([&] { return sources.count() > 0; }));
    const LogEntryList entries = sources.at(0).at(0).value<LogEntryList>();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries.front().GetType(), "systemlogs");

    pController->ListLogCollections();
    ASSERT_TRUE(WaitFor([&] { return collections.count() > 0; }));
    EXPECT_EQ(collections.at(0).at(0).toStringList(), QStringList({"keep.zip", "old.zip"}));

    // Gather straight into a local folder.
    const QString target = QString::fromStdString(mClientFolder.Path());
    pController->GatherLogs(target, entries);
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogCreateAndFetchCollection") == 1 && !Files(mClientFolder.Path()).isEmpty(); }));

    // Fetch a stored collection.
    const std::string fetchFolder = mClientFolder.File("fetched");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(fetchFolder)));
    pController->FetchLog(QString::fromStdString(fetchFolder), "keep.zip");
    ASSERT_TRUE(WaitFor([&] { return Files(fetchFolder).contains("keep.zip") && QFileInfo(QString::fromStdString(fetchFolder + "/keep.zip")).size() == 12; }));

    pController->DeleteLog("old.zip");
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogDeleteCollection") == 1; }));
    ASSERT_TRUE(WaitFor([&] { return mLog.Matching("Command: Delete stored log file processed 2").size() == 1; }));
    for (const std::string& rName : mServer->GetCollections())
        EXPECT_NE(rName, "old.zip");

    pController->CollectLog(entries);
    ASSERT_TRUE(WaitFor([&] { return mLog.Matching("Command: Create log collection on server. processed 2").size() == 1; }));

    pController->ClearLogEntries();
    ASSERT_TRUE(WaitFor([&] { return mServer->GetCollections().empty(); }));

    // Status polling reports the server's jobs.
    ASSERT_TRUE(WaitFor([&] { return statuses.count() > 0; }));
    EXPECT_EQ(statuses.at(0).at(0).toString(), mServer.Url());
    const auto list = statuses.at(0).at(1).value<QList<CommandStatusPtr>>();
    CommandStatusPtr pJob;
    for (const CommandStatusPtr& rStatus : list)
        if (rStatus->GetCommandId() == QStringLiteral("{job-1}"))
            pJob = rStatus;
    ASSERT_TRUE(pJob) << list.size();
    EXPECT_EQ(pJob->GetClientIp(), QStringLiteral("10.0.0.9"));
    EXPECT_EQ(pJob->GetProgressDetails(), QStringLiteral("halfway"));
    EXPECT_EQ(pJob->GetCommandType(), ct_collectlog);
    EXPECT_EQ(pJob->GetCommandStatus(), cs_running);
    EXPECT_EQ(pJob->GetProgressPercent(), 40.0);

    // Collections and sources are polled too.
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogList") >= 2 && mServer.Count("LogListCollections") >= 3; }));
    EXPECT_EQ(failures.count(), 0);
}

TEST_F(ControllerTest, ResultsArriveOnTheGuiThread)
{
    auto pController = MakeController(mServer.Url());
    QThread* pReceivedOn = nullptr;
    QObject::connect(pController.get(), &MaintenanceController::SignalListLogConnectionsFinished,
                     [&pReceivedOn](const QStringList&) { pReceivedOn = QThread::currentThread(); });
    pController->ListLogCollections();
    ASSERT_TRUE(WaitFor([&] { return pReceivedOn != nullptr; }));
    EXPECT_EQ(pReceivedOn, qApp->thread());
}

TEST_F(ControllerTest, NoPollingBeforeASuccessfulInformationQuery)
{
    auto pController = MakeController(mServer.Url());
    mServer->SetFault("ServiceFetchInformation", simserver::Fault::Soap11Fault);
    QSignalSpy failures(pController.get(), &MaintenanceController::SignalCommandHandlingFailed);
    pController->QueryMachineInformation();
    ASSERT_TRUE(WaitFor([&] { return failures.count() == 1; }));
    QTest::qWait(kSlowMs + 3 * kFastMs);
    EXPECT_EQ(mServer.Count("LogStatus"), 0);
    EXPECT_EQ(mServer.Count("LogList"), 0);
    EXPECT_EQ(mServer.Count("LogListCollections"), 0);
    EXPECT_EQ(pController->GetServerName(), QStringLiteral("selected"));

    mServer->SetFault("ServiceFetchInformation", simserver::Fault::None);
    pController->QueryMachineInformation();
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogStatus") > 0 && mServer.Count("LogList") > 0; }));
}

// The requests for the pages of the server left are dropped unlogged; a
// work of the operator's that fails there is logged, not emitted.
TEST_F(ControllerTest, ServerSwitchDropsLateResultsAndLogsOnlyTheFailuresOfWorks)
{
    tandriltest::TempDir otherFolder;
    LocalServer other(otherFolder.Path());
    ASSERT_TRUE(other.IsRunning());
    auto pController = MakeController(mServer.Url());
    QSignalSpy collections(pController.get(), &MaintenanceController::SignalListLogConnectionsFinished);
    QSignalSpy failures(pController.get(), &MaintenanceController::SignalCommandHandlingFailed);
    QSignalSpy finished(pController.get(), &MaintenanceController::SignalRequestFinished);

    pController->ListLogCollections();
    mServer->SetFault("LogList", simserver::Fault::Soap11Fault);
    pController->ListAvailableLogs();
    mServer->SetFault("LogDeleteCollection", simserver::Fault::Soap11Fault);
    const CommandPtr pDelete = pController->DeleteLog("a.zip");
    pController->SetServer(other.Url(), "B", "", "");
    EXPECT_EQ(pController->GetServerUrl(), other.Url());
    ASSERT_TRUE(WaitFor([&] { return AbandonedRecords() == 2 && finished.count() == 1; }));
    QTest::qWait(50);
    EXPECT_EQ(collections.count(), 0);
    EXPECT_EQ(failures.count(), 0);
    EXPECT_EQ(finished.at(0).at(0).value<CommandPtr>(), pDelete);
    const auto failed = mLog.Matching("Command Failed. reasons: ");
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed.at(0).mLevel, 3);
    EXPECT_EQ(failed.at(0).mCategory, "Tandril");
    EXPECT_NE(failed.at(0).mMessage.find("Error  Delete stored log file  "), std::string::npos) << failed.at(0).mMessage;

    // The new server's results count.
    pController->ListLogCollections();
    ASSERT_TRUE(WaitFor([&] { return collections.count() == 1; }));
}

TEST_F(ControllerTest, SetServerKeepsTheNameForTheSameUrlAndRefusesMalformedOnes)
{
    auto pController = MakeController(mServer.Url());
    pController->SetServer(mServer.Url(), "other name", "", "");
    EXPECT_EQ(pController->GetServerName(), QStringLiteral("selected"));
    for (const char* pBad : {"http://127.0.0.1", "http://localhost:8080", "ftp://1.2.3.4:21", "http://1.2.3.4:80/"}) {
        EXPECT_THROW(pController->SetServer(pBad, "bad", "", ""), std::runtime_error) << pBad;
        EXPECT_EQ(pController->GetServerUrl(), mServer.Url());
    }
    try {
        MaintenanceController broken("http://127.0.0.1:123456", "", "", "");
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& rError) {
        EXPECT_STREQ(rError.what(), "Your URL is not formatted correctly!");
    }
}

TEST_F(ControllerTest, FailedRequestOfTheCurrentServerIsReportedOnce)
{
    auto pController = MakeController(mServer.Url());
    QSignalSpy failures(pController.get(), &MaintenanceController::SignalCommandHandlingFailed);
    mServer->SetFault("LogList", simserver::Fault::Soap11Fault);
    pController->ListAvailableLogs();
    ASSERT_TRUE(WaitFor([&] { return failures.count() == 1; }));
    QTest::qWait(50);
    EXPECT_EQ(failures.count(), 1);
    const CommandPtr pCommand = failures.at(0).at(0).value<CommandPtr>();
    EXPECT_EQ(pCommand->GetCommandType(), ct_listlogfiles);
    const auto failed = mLog.Matching("Command Failed. reasons: ");
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed.at(0).mMessage, "Command Failed. reasons: " + pCommand->GetMessagesText().toStdString());
}

TEST_F(ControllerTest, DeletingTheControllerOnAFailureIsSafe)
{
    auto* pController = MakeController(mServer.Url()).release();
    QPointer<MaintenanceController> pGuard(pController);
    QObject::connect(pController, &MaintenanceController::SignalCommandHandlingFailed, pController,
                     [pController](CommandPtr) { delete pController; });
    mServer->SetFault("LogList", simserver::Fault::Soap11Fault);
    pController->ListAvailableLogs();
    ASSERT_TRUE(WaitFor([&] { return pGuard.isNull(); }));
    ASSERT_TRUE(WaitFor([&] { return mLog.Matching("Command Failed. reasons: ").size() == 1; }));
}

void Deliver(MaintenanceController& rController, const CommandPtr& rCommand)
{
    ASSERT_TRUE(QMetaObject::invokeMethod(&rController, "SlotCommandFinished", Qt::DirectConnection,
                                          Q_ARG(joxmaintenance::CommandPtr, rCommand)));
}

TEST_F(ControllerTest, StatusListsReachTheGuiAsIndependentCopies)
{
    auto pController = MakeController(mServer.Url());
    QSignalSpy statuses(pController.get(), &MaintenanceController::SignalCommandStatusListUpdate);
    auto pCommand = boost::make_shared<CommandLogStatus>(mServer.Url());
    pCommand->SetState(JoxCore::StateSucceeded);
    {
        const LockedCommandStatusList locked = LockForWrite(pCommand->GetStatusList());
        auto pFirst = boost::make_shared<CommandStatus>("{a}", "10.1.1.1", ct_loggather, cs_running, 1, 60.0);
        pFirst->SetProgressDetails("gathering");
        pFirst->SetErrorDetails("none yet");
        locked->Add(pFirst);
        locked->Add(boost::make_shared<CommandStatus>("{b}", "10.1.1.2", ct_fetchlog, cs_pending));
    }
    Deliver(*pController, pCommand);
    Deliver(*pController, pCommand);
    ASSERT_EQ(statuses.count(), 2);

    const auto first = statuses.at(0).at(1).value<QList<CommandStatusPtr>>();
    const auto second = statuses.at(1).at(1).value<QList<CommandStatusPtr>>();
    ASSERT_EQ(first.size(), 2);
    ASSERT_EQ(second.size(), 2);
    const LockedCommandStatusList locked = LockForRead(pCommand->GetStatusList());
    for (int i = 0; i < 2; ++i) {
        const CommandStatusPtr pOriginal = locked->Get(first.at(i)->GetCommandId());
        ASSERT_TRUE(pOriginal);
        EXPECT_NE(first.at(i), pOriginal);
        EXPECT_NE(first.at(i), second.at(i));
        EXPECT_EQ(first.at(i)->GetClientIp(), pOriginal->GetClientIp());
        EXPECT_EQ(first.at(i)->GetCommandType(), pOriginal->GetCommandType());
        EXPECT_EQ(first.at(i)->GetCommandStatus(), pOriginal->GetCommandStatus());
        EXPECT_EQ(first.at(i)->GetProgressPercent(), pOriginal->GetProgressPercent());
        EXPECT_EQ(first.at(i)->GetFinishedPhases(), pOriginal->GetFinishedPhases());
        EXPECT_EQ(first.at(i)->GetTotalPhases(), pOriginal->GetTotalPhases());
        EXPECT_EQ(first.at(i)->GetProgressDetails(), pOriginal->GetProgressDetails());
        EXPECT_EQ(first.at(i)->GetErrorDetails(), pOriginal->GetErrorDetails());
        first.at(i)->SetProgressDetails("changed by the GUI");
        EXPECT_NE(pOriginal->GetProgressDetails(), QStringLiteral("changed by the GUI"));
        EXPECT_NE(second.at(i)->GetProgressDetails(), QStringLiteral("changed by the GUI"));
    }

    // Of another server: nothing.
    auto pOther = boost::make_shared<CommandLogStatus>("http://127.0.0.1:1");
    pOther->SetState(JoxCore::StateSucceeded);
    Deliver(*pController, pOther);
    EXPECT_EQ(statuses.count(), 2);
}

QString VersionBoxText(const QString& rVersion)
{
    return QStringLiteral("Server and Client Version differ. Server: %1 Client: 1.0 ").arg(rVersion);
}

TEST_F(ControllerTest, VersionMismatchShowsTheBoxUntilSuppressed)
{
    ServeVersion("2.5");
    auto pController = MakeController(mServer.Url());

    QString title;
    QString text;
    {
        ModalDriver driver([&](QDialog* pDialog) {
            title = pDialog->windowTitle();
            text = pDialog->findChild<QLabel*>("jox_msgbox_label")->text();
            // Polling waits for the box.
            EXPECT_EQ(mServer.Count("LogStatus"), 0);
            pDialog->findChild<QCheckBox*>()->setChecked(true);
            pDialog->findChild<QPushButton*>()->click();
        });
        pController->QueryMachineInformation();
        ASSERT_TRUE(WaitFor([&] { return pController->GetServerName() == "simserver"; }));
        EXPECT_EQ(driver.Seen(), 1);
    }
    EXPECT_EQ(title, QStringLiteral("Server Version Mismatch"));
    EXPECT_EQ(text, VersionBoxText("2.5"));
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogStatus") > 0; }));

    // Ticked: the same mismatch does not show again.
    pController->SetServer("http://127.0.0.1:1", "elsewhere", "", "");
    pController->SetServer(mServer.Url(), "again", "", "");
    {
        ModalDriver driver([](QDialog* pDialog) { pDialog->close(); });
        pController->QueryMachineInformation();
        ASSERT_TRUE(WaitFor([&] { return pController->GetServerName() == "simserver"; }));
        EXPECT_EQ(driver.Seen(), 0);
    }
}

TEST_F(ControllerTest, EveryVersionButOnePointZeroShowsTheBox)
{
    for (const char* pVersion : {"", "1.00", "1.0 "}) {
        ServeVersion(pVersion);
        auto pController = MakeController(mServer.Url());
        QString text;
        ModalDriver driver([&](QDialog* pDialog) {
            text = pDialog->findChild<QLabel*>("jox_msgbox_label")->text();
            pDialog->findChild<QPushButton*>()->click();
        });
        pController->QueryMachineInformation();
        ASSERT_TRUE(WaitFor([&] { return pController->GetServerName() == "simserver"; })) << pVersion;
        EXPECT_EQ(driver.Seen(), 1) << pVersion;
        EXPECT_EQ(text, VersionBoxText(pVersion));
    }
    simserver::ServerInformation information;
    mServer->SetInformation(information);
    auto pController = MakeController(mServer.Url());
    ModalDriver driver([](QDialog* pDialog) { pDialog->close(); });
    pController->QueryMachineInformation();
    ASSERT_TRUE(WaitFor([&] { return pController->GetServerName() == "simserver"; }));
    EXPECT_EQ(driver.Seen(), 0);
}

TEST_F(ControllerTest, DeletingTheControllerWhileTheVersionBoxIsOpenIsSafe)
{
    ServeVersion("3.0");
    auto* pController = MakeController(mServer.Url()).release();
    QPointer<MaintenanceController> pGuard(pController);
    ModalDriver driver([&](QDialog* pDialog) {
        delete pController;
        pDialog->findChild<QPushButton*>()->click();
    });
    pController->QueryMachineInformation();
    ASSERT_TRUE(WaitFor([&] { return pGuard.isNull() && driver.Seen() == 1; }));
    QTest::qWait(50);
}

TEST_F(ControllerTest, AbandoningTheControllerWhileTheVersionBoxIsOpenIsSafe)
{
    ServeVersion("3.0");
    auto* pController = MakeController(mServer.Url()).release();
    QPointer<MaintenanceController> pGuard(pController);
    // Given up while the box is open; its poll thread ends (and its pollers
    // go) before the box is answered.
    ModalDriver driver([&](QDialog* pDialog) {
        if (!pGuard)
            return;
        pGuard->Abandon();
        QTimer::singleShot(300, pDialog, [pDialog] { pDialog->findChild<QPushButton*>()->click(); });
    });
    pController->QueryMachineInformation();
    ASSERT_TRUE(WaitFor([&] { return pGuard.isNull() && driver.Seen() == 1; }));
    EXPECT_EQ(mServer.Count("LogStatus"), 0);
}

TEST_F(ControllerTest, DestroyingTheControllerWhileRequestsRunDoesNotCrash)
{
    mServer->SetFault("LogListCollections", simserver::Fault::Silent);
    {
        auto pController = MakeController(mServer.Url());
        pController->ListLogCollections();
        pController->ListLogCollections();
        ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogListCollections") == 2; }));
    }
    // The unanswered requests end with the server; their threads clean up.
    mServer->Stop();
    QTest::qWait(200);
}

// Entries of the folder, hidden ones (a download's temporary file) included.
QStringList AllEntries(const std::string& rFolder)
{
    return QDir(QString::fromStdString(rFolder)).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST_F(ControllerTest, AbandonStopsOnlyThePollsAndTheControllerGoesAfterItsRequests)
{
    // A poll that is never answered and a download under way.
    mServer->SetFault("LogStatus", simserver::Fault::Silent);
    const std::string content(512 * 1024, 'b');
    ASSERT_TRUE(mServer->AddCollection("big.zip", content));
    mServer->SetAttachmentRate(256 * 1024);
    QPointer<MaintenanceController> pController = new MaintenanceController(mServer.Url(), "selected", "sw", "svc");
    QSignalSpy failures(pController.data(), &MaintenanceController::SignalCommandHandlingFailed);
    QSignalSpy finished(pController.data(), &MaintenanceController::SignalRequestFinished);
    pController->QueryMachineInformation();
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogStatus") >= 1; }));
    const CommandPtr pFetch = pController->FetchLog(QString::fromStdString(mClientFolder.Path()), "big.zip");
    ASSERT_TRUE(WaitFor([&] { return !AllEntries(mClientFolder.Path()).isEmpty(); }));

    QElapsedTimer timer;
    timer.start();
    pController->Abandon();
    EXPECT_LT(timer.elapsed(), 100);
    // The download runs to its end and is still handed back; then the
    // controller goes.
    ASSERT_TRUE(WaitFor([&] { return pController.isNull(); }, 10000));
    EXPECT_EQ(pFetch->GetState(), JoxCore::StateSucceeded) << pFetch->GetMessagesText().toStdString();
    ASSERT_EQ(finished.count(), 2); // the information query and the download
    EXPECT_EQ(finished.at(1).at(0).value<CommandPtr>(), pFetch);
    EXPECT_EQ(AllEntries(mClientFolder.Path()), QStringList({QStringLiteral("big.zip")}));
    EXPECT_EQ(tandriltest::ReadFile(mClientFolder.File("big.zip")), content);
    EXPECT_EQ(failures.count(), 0);
    // The polls stopped with Abandon.
    const int polls = mServer.Count("LogListCollections");
    QTest::qWait(3 * kFastMs);
    EXPECT_EQ(mServer.Count("LogListCollections"), polls);
}

// The requests for the pages of a server left (never answered here) are
// abandoned at once, whichever way it is left: neither emitted nor logged
// as failures, while a download from it runs to its end.
TEST_F(ControllerTest, PageRequestsOfAServerLeftAreAbandonedAtOnceAndItsDownloadRunsOn)
{
    tandriltest::TempDir otherFolder;
    LocalServer other(otherFolder.Path());
    ASSERT_TRUE(other.IsRunning());
    const std::string content(512 * 1024, 'd');
    ASSERT_TRUE(mServer->AddCollection("big.zip", content));
    const char* const pageOperations[] = {"ServiceFetchInformation", "LogList", "LogListCollections"};
    for (const char* pOperation : pageOperations)
        mServer->SetFault(pOperation, simserver::Fault::Silent);
    const struct
    {
        const char* mpName;
        bool mGivenUp;
    } cases[] = {{"another server selected", false}, {"the controller given up", true}};
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        tandriltest::TempDir target;
        mServer->SetAttachmentRate(256 * 1024);
        std::map<std::string, int> sent;
        for (const char* pOperation : pageOperations)
            sent[pOperation] = mServer.Count(pOperation);
        const int abandonedBefore = AbandonedRecords();
        const std::size_t failedBefore = mLog.Matching("Command Failed").size();
        QPointer<MaintenanceController> pController = new MaintenanceController(mServer.Url(), "selected", "sw", "svc");
        QSignalSpy failures(pController.data(), &MaintenanceController::SignalCommandHandlingFailed);
        QSignalSpy finished(pController.data(), &MaintenanceController::SignalRequestFinished);
        QSignalSpy sources(pController.data(), &MaintenanceController::SignalListAvailableLogsFinished);
        QSignalSpy collections(pController.data(), &MaintenanceController::SignalListLogConnectionsFinished);
        const CommandPtr pFetch = pController->FetchLog(QString::fromStdString(target.Path()), "big.zip");
        pController->QueryMachineInformation();
        pController->ListAvailableLogs();
        pController->ListLogCollections();
        // Sent and waiting for an answer, and the download under way.
        ASSERT_TRUE(WaitFor([&] {
            for (const char* pOperation : pageOperations)
                if (mServer.Count(pOperation) == sent[pOperation])
                    return false;
            return !AllEntries(target.Path()).isEmpty();
        }));

        if (rCase.mGivenUp)
            pController->Abandon();
        else
            pController->SetServer(other.Url(), "other", "", "");
        // Ended long before their time limit, and before the download.
        ASSERT_TRUE(WaitFor([&] { return AbandonedRecords() == abandonedBefore + 3; }));
        EXPECT_EQ(finished.count(), 0);
        ASSERT_TRUE(WaitFor([&] { return finished.count() == 1; }));
        EXPECT_EQ(finished.at(0).at(0).value<CommandPtr>(), pFetch);
        EXPECT_EQ(pFetch->GetState(), JoxCore::StateSucceeded) << pFetch->GetMessagesText().toStdString();
        EXPECT_EQ(tandriltest::ReadFile(target.File("big.zip")), content);
        EXPECT_EQ(failures.count(), 0);
        EXPECT_EQ(sources.count(), 0);
        EXPECT_EQ(collections.count(), 0);
        EXPECT_EQ(mLog.Matching("Command Failed").size(), failedBefore);
        if (rCase.mGivenUp)
            // It goes once the download has ended.
            ASSERT_TRUE(WaitFor([&] { return pController.isNull(); }));
        else
            delete pController.data();
    }
}

TEST_F(ControllerTest, StopAllEndsEveryControllerWithinItsTime)
{
    mServer->SetFault("LogStatus", simserver::Fault::Silent);
    mServer->SetFault("LogListCollections", simserver::Fault::Silent);
    ASSERT_TRUE(mServer->AddCollection("big.zip", std::string(4 * 1024 * 1024, 'b')));
    mServer->SetAttachmentRate(256 * 1024);
    QPointer<MaintenanceController> pFirst = new MaintenanceController(mServer.Url(), "first", "sw", "svc");
    QPointer<MaintenanceController> pAbandoned = new MaintenanceController(mServer.Url(), "second", "sw", "svc");
    for (MaintenanceController* pController : {pFirst.data(), pAbandoned.data()})
    {
        pController->QueryMachineInformation();
        pController->ListLogCollections();
    }
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogStatus") >= 2 && mServer.Count("LogListCollections") >= 2; }));
    // A download of the abandoned controller is under way at exit.
    pAbandoned->FetchLog(QString::fromStdString(mClientFolder.Path()), "big.zip");
    ASSERT_TRUE(WaitFor([&] { return !AllEntries(mClientFolder.Path()).isEmpty(); }));
    pAbandoned->Abandon();

    // As at exit: no event loop runs any more.
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(MaintenanceController::StopAll(3000));
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(pFirst.isNull());
    EXPECT_TRUE(pAbandoned.isNull());
    EXPECT_TRUE(MaintenanceController::StopAll(0));
    // The interrupted download leaves nothing behind.
    EXPECT_TRUE(AllEntries(mClientFolder.Path()).isEmpty()) << AllEntries(mClientFolder.Path()).join(' ').toStdString();
}

// Polls the controller's servers first (each must answer its information
// query), then selects the fixture's server: its jobs and collections come
// every few fast intervals, whatever the others do.
void ExpectTheCurrentServerPolledBesides(MaintenanceController& rController, const QStringList& rOthers,
                                         LocalServer& rCurrent)
{
    for (const QString& rUrl : rOthers)
    {
        rController.SetServer(rUrl, "other", "", "");
        // Answered: the server is polled from now on.
        ASSERT_TRUE(WaitFor([&] {
            rController.QueryMachineInformation();
            return WaitFor([&] { return rController.GetServerName() == QStringLiteral("simserver"); }, 500);
        })) << rUrl.toStdString();
    }
    rCurrent->SetJobs({{"{job-1}", "10.0.0.9", "ct_collectlog", "cs_running", 40.0, 0, std::string("halfway"), {}}});
    QSignalSpy statuses(&rController, &MaintenanceController::SignalCommandStatusListUpdate);
    QSignalSpy collections(&rController, &MaintenanceController::SignalListLogConnectionsFinished);
    QElapsedTimer timer;
    timer.start();
    rController.SetServer(rCurrent.Url(), "current", "", "");
    rController.QueryMachineInformation();
    // Polled on: several passes in the time of a few intervals.
    ASSERT_TRUE(WaitFor([&] { return statuses.count() >= 3 && collections.count() >= 3; }, 5000))
        << statuses.count() << " status lists, " << collections.count() << " collection lists; "
        << rCurrent.Count("ServiceFetchInformation") << " queries, " << rCurrent.Count("LogStatus") << " status polls";
    EXPECT_LT(timer.elapsed(), 30 * kFastMs);
    EXPECT_EQ(statuses.at(0).at(0).toString(), rCurrent.Url());
    EXPECT_EQ(statuses.at(0).at(1).value<QList<CommandStatusPtr>>().size(), 1);
}

// Servers visited before stay polled, but the selected one waits for no
// silent one: neither for one it was selected after, nor, selected again,
// for those on the thread it shared with them.
TEST_F(ControllerTest, ASilentServerDelaysNoOtherServersPolls)
{
    tandriltest::TempDir folders[3];
    std::vector<std::unique_ptr<LocalServer>> silent;
    QStringList urls;
    for (tandriltest::TempDir& rFolder : folders)
    {
        silent.push_back(std::make_unique<LocalServer>(rFolder.Path()));
        ASSERT_TRUE(silent.back()->IsRunning());
        // They answer their information query, then nothing more.
        for (const char* pOperation : {"LogStatus", "LogListCollections", "LogList"})
            (*silent.back())->SetFault(pOperation, simserver::Fault::Silent);
        urls.append(silent.back()->Url());
    }
    auto pController = MakeController(urls.first());
    ExpectTheCurrentServerPolledBesides(*pController, urls, mServer);
    if (HasFatalFailure())
        return;
    const auto polls = [](LocalServer& rServer) {
        return rServer.Count("LogStatus") + rServer.Count("LogListCollections") + rServer.Count("LogList");
    };
    // The servers left are still polled, one after another: the first has
    // an exchange open, the others wait behind it.
    ASSERT_TRUE(WaitFor([&] { return polls(*silent.front()) >= 1; }));
    // Left for a silent one until one of that one's polls is open, then
    // selected again.
    LocalServer& rLast = *silent.back();
    const int polled = polls(rLast);
    pController->SetServer(rLast.Url(), "other", "", "");
    pController->QueryMachineInformation();
    ASSERT_TRUE(WaitFor([&] { return pController->GetServerName() == QStringLiteral("simserver"); }));
    ASSERT_TRUE(WaitFor([&] { return polls(rLast) > polled; }));
    ExpectTheCurrentServerPolledBesides(*pController, {}, mServer);
    // The polls abandoned when their server was left are not failures.
    EXPECT_TRUE(mLog.Matching("Command Failed. reasons: ").empty());
}

// Leaving a current server whose packets are dropped (a host gone behind a
// router) ends its poll at once, also while it connects: the next server's
// jobs show within a few poll intervals, not after the connect limit.
TEST_F(ControllerTest, LeavingAServerThatDroppedOffEndsItsConnectAtOnce)
{
    tandriltest::TempDir folder;
    LocalServer gone(folder.Path());
    ASSERT_TRUE(gone.IsRunning());
    auto pController = MakeController(gone.Url());
    pController->QueryMachineInformation();
    ASSERT_TRUE(WaitFor([&] { return pController->GetServerName() == QStringLiteral("simserver"); }));
    // Polled; then every SYN sent to it is dropped, and a poll of it connects.
    const int port = gone->GetPort();
    gone->Stop();
    tandriltest::SynDroppingListener dropping(port);
    ASSERT_TRUE(dropping.IsValid());
    ASSERT_TRUE(WaitFor([&] { return !dropping.ConnectingDescriptors().empty(); }));
    ExpectTheCurrentServerPolledBesides(*pController, {}, mServer);
}

// Every server seen stays polled, and yet a thousand of them cost no more
// threads or descriptors than one, under the usual limit of 1024
// descriptors; the operator's requests still work.
TEST_F(ControllerTest, AThousandServersSeenCostNoMoreThreadsOrDescriptorsThanOne)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    // One listening socket answers on every loopback address.
    tandriltest::TempDir folder;
    simserver::SimServer server(folder.Path());
    ASSERT_TRUE(server.Start("0.0.0.0", 8070)) << server.GetError();
    server.SetLogSources({{"systemlogs", "2026-01-01T00:00:00", 60}});
    server.SetJobs({{"{job-1}", "10.0.0.9", "ct_collectlog", "cs_running", 40.0, 0, std::string("halfway"), {}}});
    ASSERT_TRUE(server.AddCollection("kept.zip", "kept content"));
    const int kServers = 1000;
    const auto address = [](int server) { return QStringLiteral("127.1.%1.%2").arg(server / 200).arg(server % 200 + 1); };
    const auto url = [&](int server) { return QStringLiteral("http://%1:8070").arg(address(server)); };
    DescriptorLimit limit(1024);
    ASSERT_TRUE(limit.IsSet());

    auto pController = MakeController(url(0));
    QSignalSpy finished(pController.get(), &MaintenanceController::SignalRequestFinished);
    // Selected and answered: polled from now on. (The answer is waited for
    // by its signal: a thousand waits must not each take a wait's step.)
    const auto see = [&](int server) {
        if (server > 0)
            pController->SetServer(url(server), QStringLiteral("server"), QString(), QString());
        const int ended = finished.count();
        pController->QueryMachineInformation();
        while (finished.count() == ended && finished.wait(10000))
        {
        }
        return pController->GetServerName() == QStringLiteral("simserver");
    };
    ASSERT_TRUE(see(0));
    const int threads = ProcessEntries("task");
    const int descriptors = ProcessEntries("fd");
    // At most two requests under way and the two poll threads' exchanges:
    // each with its server's side (a thread, a socket), a request with its
    // thread's event loop and its file.
    const int kSpareThreads = 10;
    const int kSpareDescriptors = 20;
    int mostThreads = threads;
    int mostDescriptors = descriptors;
    const auto sample = [&] {
        mostThreads = std::max(mostThreads, ProcessEntries("task"));
        mostDescriptors = std::max(mostDescriptors, ProcessEntries("fd"));
    };
    for (int i = 1; i < kServers; ++i)
    {
        if (i % 25 == 0)
        {
            sample();
            ASSERT_LE(mostThreads, threads + kSpareThreads) << i << " servers seen";
            ASSERT_LE(mostDescriptors, descriptors + kSpareDescriptors) << i << " servers seen";
        }
        ASSERT_TRUE(see(i)) << "server " << i << " of " << kServers << ": "
                            << (finished.count() == i + 1
                                    ? finished.last().at(0).value<CommandPtr>()->GetMessagesText().toStdString()
                                    : std::string("no answer"));
    }

    // Every server seen is polled again, of each kind.
    std::map<std::string, std::set<std::string>> polled;
    std::size_t read = server.GetRequests().size();
    const auto everyServerPolled = [&] {
        for (const simserver::ReceivedRequest& rRequest : server.GetRequests(read))
        {
            polled[rRequest.mOperation].insert(rRequest.mLocalAddress);
            ++read;
        }
        sample();
        for (const char* pOperation : {"LogStatus", "LogListCollections", "LogList"})
            if (polled[pOperation].size() < static_cast<std::size_t>(kServers))
                return false;
        return true;
    };
    ASSERT_TRUE(WaitFor(everyServerPolled, 90000))
        << polled["LogStatus"].size() << " servers had their status polled, " << polled["LogListCollections"].size()
        << " their collections, " << polled["LogList"].size() << " their log sources";

    // The current server is polled as well, and a download and a gather work.
    QSignalSpy statuses(pController.get(), &MaintenanceController::SignalCommandStatusListUpdate);
    const QString target = QString::fromStdString(mClientFolder.Path());
    const CommandPtr pFetch = pController->FetchLog(target, QStringLiteral("kept.zip"));
    const CommandPtr pGather =
        pController->GatherLogs(target, {LogEntry("systemlogs", "2026-01-01T00:00:00", 60)});
    ASSERT_TRUE(WaitFor([&] {
        sample();
        return finished.count() >= kServers + 2 && statuses.count() >= 2;
    }));
    EXPECT_EQ(statuses.at(0).at(0).toString(), url(kServers - 1));
    EXPECT_EQ(pFetch->GetState(), JoxCore::StateSucceeded) << pFetch->GetMessagesText().toStdString();
    EXPECT_EQ(pGather->GetState(), JoxCore::StateSucceeded) << pGather->GetMessagesText().toStdString();
    EXPECT_EQ(tandriltest::ReadFile(mClientFolder.File("kept.zip")), "kept content");
    EXPECT_EQ(Files(mClientFolder.Path()).size(), 2);

    std::printf("threads %d, at most %d; descriptors %d, at most %d\n", threads, mostThreads, descriptors,
                mostDescriptors);
    EXPECT_LE(mostThreads, threads + kSpareThreads);
    EXPECT_LE(mostDescriptors, descriptors + kSpareDescriptors);
}

// A server that drops off the network (its packets are dropped) delays
// the others no more than a silent one.
TEST_F(ControllerTest, AnUnreachableServerDelaysNoOtherServersPolls)
{
    // In a namespace of its own: the fixture's server is not reachable from
    // there, so the selected server is one made here.
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    tandriltest::TempDir folders[2];
    LocalServer current(folders[1].Path());
    ASSERT_TRUE(current.IsRunning());
    tandriltest::PeerNamespace peer;
    ASSERT_TRUE(peer.IsValid());
    ASSERT_FALSE(peer.AddLink("10.94.1.1", "10.94.1.2").empty());
    ASSERT_GT(peer.Spawn({TANDRIL_SIMSERVER_PROGRAM, "--folder", folders[0].File("server"), "--address", "10.94.1.2",
                          "--port", "8080"}),
              0);
    const QString unreachable = QStringLiteral("http://10.94.1.2:8080");
    auto pController = MakeController(unreachable);
    ExpectTheCurrentServerPolledBesides(*pController, {unreachable}, current);
    if (HasFatalFailure())
        return;
    // Its link goes down: what is sent to it from now on is dropped.
    ASSERT_TRUE(peer.Run("sh -c 'ip -br link | while read l rest; do l=${l%%@*}; [ $l = lo ] || ip link set $l down; done'"));
    ExpectTheCurrentServerPolledBesides(*pController, {}, current);
}

} // namespace
