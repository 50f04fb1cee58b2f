#pragma once

#include <joxmaintenance/Command.h>

#include <QMutex>
#include <QObject>
#include <QStringList>

class QTimer;

namespace joxmaintenance {

// Repeats one command for every known server on a single-shot timer that is
// re-armed after each pass, so passes never overlap. Lives in the poll
// thread of its controller; subclasses pick the command and which of the two
// timers (fast 5 s, slow 60 s) drives the passes.
class CommandPollWorker : public QObject
{
    Q_OBJECT

public:
    CommandPollWorker();

    // What becomes of a poll under way of a server that is removed.
    enum class RunningPoll
    {
        Finish,  // it runs to its end and is emitted
        Abandon  // it is aborted at once and not emitted
    };

    // Adds a server to poll; empty and already known URLs (exact text) are
    // ignored. Safe to call from any thread.
    void AddServerUrl(const QString& rUrl);
    // Stops polling a server; a pass under way skips it from now on. Safe to
    // call from any thread.
    void RemoveServerUrl(const QString& rUrl, RunningPoll running);

    // The servers polled, in the order added.
    QStringList GetServerUrls() const;

    // Callable from any thread: the running command is aborted (Command::Abort),
    // the pass ends and no timer is armed again.
    void Abort();

    // Test-only: replaces the fast and slow intervals of pollers armed from
    // now on. The program never calls it.
    static void SetIntervalsForTesting(int fastMs, int slowMs);

signals:
    void SigCommandFinished(joxmaintenance::CommandPtr pCommand);

public slots:
    // Creates both timers in the poller's thread and arms them.
    void SlotDoWork();
    // Fast timer expiry.
    virtual void SlotPoll() = 0;
    // Slow timer expiry.
    virtual void SlotPollLazy() = 0;

protected:
    // Runs the command made by rMake for each server still polled, in order,
    // emitting each finished one.
    template <typename Make>
    void RunPass(Make make);

    void RestartFastTimer();
    void RestartSlowTimer();

private:
    enum class Begin
    {
        Run,  // the command runs
        Skip, // its server is no longer polled
        Stop  // the poller is aborted: the pass ends
    };
    Begin BeginCommand(const CommandPtr& rCommand);
    // Ends the running command; false when it was abandoned.
    bool EndCommand();

    mutable QMutex mMutex;
    QStringList mServerUrls;
    // Under the mutex: the command of the pass now running, whether it was
    // abandoned with its server, and whether the poller was aborted.
    CommandPtr mpRunning;
    bool mRunningAbandoned = false;
    bool mAborted = false;
    QTimer* mpFastTimer = nullptr;
    QTimer* mpSlowTimer = nullptr;
};

template <typename Make>
void CommandPollWorker::RunPass(Make make)
{
    const QStringList urls = GetServerUrls();
    for (const QString& rUrl : urls) {
        CommandPtr pCommand = make(rUrl);
        const Begin begin = BeginCommand(pCommand);
        if (begin == Begin::Stop)
            return;
        if (begin == Begin::Skip)
            continue;
        pCommand->DoExecute();
        if (EndCommand())
            emit SigCommandFinished(pCommand);
    }
}

} // namespace joxmaintenance
