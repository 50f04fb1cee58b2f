#include <joxcore/CommandArguments.h>
#include <joxcore/CommandContexts.h>
#include <joxcore/CommandEvent.h>
#include <joxcore/CommandEventHandler.h>
#include <joxcore/ICommandContext.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// Answers "done" with the thread it ran on.
class ThreadContext : public ICommandContext
{
public:
    bool Execute(const QString& rName, CommandArguments* pArguments) override
    {
        mThread = QThread::currentThread();
        if (pArguments != nullptr)
            pArguments->mResults.insert(QStringLiteral("done"),
                                        rName + pArguments->mParameters.value(QStringLiteral("p")));
        return true;
    }
    std::atomic<QThread*> mThread{nullptr};
};

class CommandEventTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CommandContexts::Clear();
        CommandContexts::Register(QStringLiteral("t"), mContext);
    }
    void TearDown() override { CommandContexts::Clear(); }
    std::shared_ptr<ThreadContext> mContext = std::make_shared<ThreadContext>();
};

TEST_F(CommandEventTest, SenderOnAnotherThreadGetsTheResult)
{
    CommandEventHandler handler;
    std::atomic<bool> finished{false};
    bool sent = false;
    CommandArguments arguments;
    arguments.mParameters.insert(QStringLiteral("p"), QStringLiteral("!"));
    std::thread sender([&] {
        sent = handler.Send(QStringLiteral("t"), QStringLiteral("run"), &arguments, 5000);
        finished = true;
    });
    QElapsedTimer timer;
    timer.start();
    while (!finished && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    sender.join();
    EXPECT_TRUE(sent);
    EXPECT_EQ(arguments.mResults.value(QStringLiteral("done")).toStdString(), "run!");
    EXPECT_EQ(mContext->mThread.load(), QThread::currentThread());
}

TEST_F(CommandEventTest, SenderNeverWaitsForever)
{
    auto* pHandler = new CommandEventHandler();
    // On the handler's own thread: refused at once.
    CommandArguments arguments;
    EXPECT_FALSE(pHandler->Send(QStringLiteral("t"), QStringLiteral("run"), &arguments, 60000));
    // Nobody runs the event loop: the wait ends after its timeout.
    bool sent = true;
    QElapsedTimer timer;
    timer.start();
    std::thread sender([&] { sent = pHandler->Send(QStringLiteral("t"), QStringLiteral("late"), &arguments, 200); });
    sender.join();
    EXPECT_FALSE(sent);
    EXPECT_GE(timer.elapsed(), 150);
    // The abandoned event is dropped later without running.
    QCoreApplication::sendPostedEvents(pHandler);
    EXPECT_EQ(mContext->mThread.load(), nullptr);
    EXPECT_TRUE(arguments.mResults.isEmpty());
    delete pHandler;
}

TEST_F(CommandEventTest, OtherEventsReachTheBaseClass)
{
    QPointer<CommandEventHandler> pHandler = new CommandEventHandler();
    pHandler->setObjectName(QStringLiteral("h"));
    pHandler->deleteLater();
    QCoreApplication::sendPostedEvents(pHandler, QEvent::DeferredDelete);
    EXPECT_TRUE(pHandler.isNull());

    // A command event posted by hand runs the dispatch on the spot.
    CommandEventHandler handler;
    CommandArguments arguments;
    bool result = false;
    bool done = false;
    CommandEvent event(QStringLiteral("t"), QStringLiteral("x"), &arguments, &result, &done);
    EXPECT_TRUE(handler.event(&event));
    EXPECT_TRUE(result);
    EXPECT_TRUE(done);
    EXPECT_EQ(arguments.mResults.value(QStringLiteral("done")).toStdString(), "x");
}

} // namespace
