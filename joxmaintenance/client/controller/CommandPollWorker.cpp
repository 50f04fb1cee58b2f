#include <joxmaintenance/CommandPollWorker.h>

#include <QMutexLocker>
#include <QTimer>

#include <atomic>

namespace joxmaintenance {

namespace {

std::atomic<int> gFastIntervalMs{5000};
std::atomic<int> gSlowIntervalMs{60000};

} // namespace

CommandPollWorker::CommandPollWorker()
    : QObject(nullptr)
{
}

void CommandPollWorker::AddServerUrl(const QString& rUrl)
{
    if (rUrl.isEmpty())
        return;
    QMutexLocker lock(&mMutex);
    if (!mServerUrls.contains(rUrl, Qt::CaseSensitive))
        mServerUrls.append(rUrl);
}

void CommandPollWorker::RemoveServerUrl(const QString& rUrl, RunningPoll running)
{
    QMutexLocker lock(&mMutex);
    mServerUrls.removeAll(rUrl);
    if (running == RunningPoll::Abandon && mpRunning && mpRunning->GetServerUrl() == rUrl)
    {
        mRunningAbandoned = true;
        mpRunning->Abort();
    }
}

QStringList CommandPollWorker::GetServerUrls() const
{
    QMutexLocker lock(&mMutex);
    return mServerUrls;
}

void CommandPollWorker::Abort()
{
    QMutexLocker lock(&mMutex);
    mAborted = true;
    if (mpRunning)
        mpRunning->Abort();
}

CommandPollWorker::Begin CommandPollWorker::BeginCommand(const CommandPtr& rCommand)
{
    QMutexLocker lock(&mMutex);
    if (mAborted)
        return Begin::Stop;
    if (!mServerUrls.contains(rCommand->GetServerUrl(), Qt::CaseSensitive))
        return Begin::Skip;
    mpRunning = rCommand;
    mRunningAbandoned = false;
    return Begin::Run;
}

bool CommandPollWorker::EndCommand()
{
    QMutexLocker lock(&mMutex);
    mpRunning.reset();
    return !mRunningAbandoned;
}

void CommandPollWorker::SetIntervalsForTesting(int fastMs, int slowMs)
{
    gFastIntervalMs = fastMs;
    gSlowIntervalMs = slowMs;
}

void CommandPollWorker::SlotDoWork()
{
    mpFastTimer = new QTimer(this);
    mpSlowTimer = new QTimer(this);
    mpFastTimer->setSingleShot(true);
    mpSlowTimer->setSingleShot(true);
    connect(mpFastTimer, &QTimer::timeout, this, &CommandPollWorker::SlotPoll);
    connect(mpSlowTimer, &QTimer::timeout, this, &CommandPollWorker::SlotPollLazy);
    RestartFastTimer();
    RestartSlowTimer();
}

void CommandPollWorker::RestartFastTimer()
{
    QMutexLocker lock(&mMutex);
    if (mpFastTimer != nullptr && !mAborted)
        mpFastTimer->start(gFastIntervalMs.load());
}

void CommandPollWorker::RestartSlowTimer()
{
    QMutexLocker lock(&mMutex);
    if (mpSlowTimer != nullptr && !mAborted)
        mpSlowTimer->start(gSlowIntervalMs.load());
}

} // namespace joxmaintenance
