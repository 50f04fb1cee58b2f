#include "ControllerTestSupport.h"

#include <joxcore/QThreadWrapper.h>
#include <joxmaintenance/CommandPollWorkerListAvailableLogs.h>
#include <joxmaintenance/CommandPollWorkerListLogCollections.h>
#include <joxmaintenance/CommandPollWorkerStatus.h>
#include <joxmaintenance/CommandType.h>
#include <joxmaintenance/MaintenanceWorker.h>

#include "TempDir.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace joxmaintenance;
using controllertest::LocalServer;

namespace {

const int kFastMs = 60;
const int kSlowMs = 600;

class PollWorkerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qRegisterMetaType<CommandPtr>("joxmaintenance::CommandPtr");
        CommandPollWorker::SetIntervalsForTesting(kFastMs, kSlowMs);
    }
    void TearDown() override { CommandPollWorker::SetIntervalsForTesting(5000, 60000); }

    // Hosts the poller in a thread of its own and starts it there.
    template <typename Poller>
    Poller* Start()
    {
        auto* pPoller = new Poller;
        EXPECT_TRUE(mThread.AddObject(pPoller));
        // Received queued on this thread, as the controller receives them.
        mResults.push_back(std::make_unique<std::vector<CommandPtr>>());
        std::vector<CommandPtr>* pResults = mResults.back().get();
        QObject::connect(pPoller, &CommandPollWorker::SigCommandFinished, &mReceiver,
                         [pResults](CommandPtr pCommand) { pResults->push_back(pCommand); });
        QMetaObject::invokeMethod(pPoller, "SlotDoWork", Qt::QueuedConnection);
        return pPoller;
    }

    int Count(size_t poller) const { return static_cast<int>(mResults[poller]->size()); }
    CommandPtr At(size_t poller, int index) const { return mResults[poller]->at(index); }

    // Declared before the poll thread, so the server outlives every pass.
    tandriltest::TempDir mServerFolder;
    std::unique_ptr<LocalServer> mpServer;
    QObject mReceiver;
    std::vector<std::unique_ptr<std::vector<CommandPtr>>> mResults;
    JoxCore::QThreadWrapper mThread;
};

TEST(CommandPollWorkerUrlsTest, EmptyAndRepeatedUrlsAreIgnored)
{
    CommandPollWorkerStatus poller;
    poller.AddServerUrl(QString());
    poller.AddServerUrl("http://10.0.0.1:80");
    poller.AddServerUrl("http://10.0.0.1:80");
    poller.AddServerUrl("HTTP://10.0.0.1:80");
    poller.AddServerUrl("http://10.0.0.2:80");
    EXPECT_EQ(poller.GetServerUrls(),
              QStringList({"http://10.0.0.1:80", "HTTP://10.0.0.1:80", "http://10.0.0.2:80"}));
}

TEST_F(PollWorkerTest, EmptyPassesKeepRearmingUntilAServerIsAdded)
{
    CommandPollWorker* pPoller = Start<CommandPollWorkerStatus>();
    QTest::qWait(4 * kFastMs);
    EXPECT_EQ(Count(0), 0);
    pPoller->AddServerUrl("http://127.0.0.1:1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(0) >= 2; }, 5000));
    const CommandPtr pCommand = At(0, 0);
    EXPECT_EQ(pCommand->GetCommandType(), ct_logstatus);
    EXPECT_EQ(pCommand->GetServerUrl(), QStringLiteral("http://127.0.0.1:1"));
    EXPECT_EQ(pCommand->GetState(), JoxCore::StateFailed);
}

TEST_F(PollWorkerTest, EachPassRunsEveryServerInOrder)
{
    CommandPollWorker* pPoller = Start<CommandPollWorkerListLogCollections>();
    pPoller->AddServerUrl("http://127.0.0.1:1");
    pPoller->AddServerUrl("http://127.0.0.1:2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(0) >= 4; }, 5000));
    for (int i = 0; i < 4; ++i) {
        const CommandPtr pCommand = At(0, i);
        EXPECT_EQ(pCommand->GetCommandType(), ct_listcollections);
        EXPECT_EQ(pCommand->GetServerUrl(), i % 2 == 0 ? "http://127.0.0.1:1" : "http://127.0.0.1:2");
        EXPECT_EQ(pCommand->GetState(), JoxCore::StateFailed);
        EXPECT_FALSE(pCommand->GetMessagesText().isEmpty());
    }
    // Each pass is a new command.
    EXPECT_NE(At(0, 0), At(0, 2));
}

TEST_F(PollWorkerTest, FastPollersStartAfterTheFastIntervalAndSourcesAfterTheSlowOne)
{
    mpServer = std::make_unique<LocalServer>(mServerFolder.Path());
    LocalServer& server = *mpServer;
    ASSERT_TRUE(server.IsRunning());
    QElapsedTimer clock;
    clock.start();
    CommandPollWorker* pStatus = Start<CommandPollWorkerStatus>();
    CommandPollWorker* pCollections = Start<CommandPollWorkerListLogCollections>();
    CommandPollWorker* pSources = Start<CommandPollWorkerListAvailableLogs>();
    for (CommandPollWorker* pPoller : {pStatus, pCollections, pSources})
        pPoller->AddServerUrl(server.Url());

    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(0) > 0; }, 5000));
    EXPECT_GE(clock.elapsed(), kFastMs * 95 / 100 - 2); // Qt's coarse timers may fire 5 % early
    EXPECT_LT(clock.elapsed(), kSlowMs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(1) > 0; }, 5000));
    EXPECT_EQ(Count(2), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(2) > 0; }, 5000));
    EXPECT_GE(clock.elapsed(), kSlowMs * 95 / 100 - 2);
    // The slow poller re-arms only its slow timer; the fast ones keep going.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(0) >= 5; }, 5000));
    EXPECT_LE(Count(2), 2);
    EXPECT_EQ(At(2, 0)->GetCommandType(), ct_listlogfiles);
    EXPECT_EQ(At(2, 0)->GetState(), JoxCore::StateSucceeded);
    EXPECT_GE(server.Count("LogStatus"), 5);
}

// A server removed is skipped by the pass under way; one whose poll is under
// way and abandoned ends that poll at once, and nothing of it is emitted.
TEST_F(PollWorkerTest, RemovedServersAreSkippedAndAnAbandonedPollIsNotEmitted)
{
    mpServer = std::make_unique<LocalServer>(mServerFolder.Path());
    LocalServer& silent = *mpServer;
    ASSERT_TRUE(silent.IsRunning());
    silent->SetFault("LogStatus", simserver::Fault::Silent);
    CommandPollWorker* pPoller = Start<CommandPollWorkerStatus>();
    const QString refused = QStringLiteral("http://127.0.0.1:1");
    pPoller->AddServerUrl(silent.Url());
    pPoller->AddServerUrl(refused);
    // The pass waits for the silent server; the other is next.
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent.Count("LogStatus") == 1; }, 5000));
    pPoller->RemoveServerUrl(refused, CommandPollWorker::RunningPoll::Finish);
    pPoller->RemoveServerUrl(silent.Url(), CommandPollWorker::RunningPoll::Abandon);
    EXPECT_TRUE(pPoller->GetServerUrls().isEmpty());
    const QString added = QStringLiteral("http://127.0.0.1:2");
    pPoller->AddServerUrl(added);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(0) >= 2; }, 5000));
    for (int i = 0; i < Count(0); ++i)
        EXPECT_EQ(At(0, i)->GetServerUrl().toStdString(), added.toStdString());
    EXPECT_EQ(silent.Count("LogStatus"), 1);
}

TEST(MaintenanceWorkerTest, RunsTheCommandAndEmitsItEvenWhenNull)
{
    qRegisterMetaType<CommandPtr>("joxmaintenance::CommandPtr");
    MaintenanceWorker empty{CommandPtr()};
    QSignalSpy emptySpy(&empty, &MaintenanceWorker::SigWorkFinished);
    empty.SlotDoWork();
    ASSERT_EQ(emptySpy.count(), 1);
    EXPECT_FALSE(emptySpy.at(0).at(0).value<CommandPtr>());
}

} // namespace
