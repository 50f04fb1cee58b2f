#pragma once

#include <QMutex>
#include <QObject>
#include <QWaitCondition>

struct CommandArguments;

// Runs CommandEvents on its own thread (the main thread for the
// process-wide instance) and wakes their senders. Other events go to QObject.
class CommandEventHandler : public QObject
{
    Q_OBJECT

public:
    explicit CommandEventHandler(QObject* pParent = nullptr);
    ~CommandEventHandler() override;

    // The process-wide handler, built by start-up on the main thread.
    static CommandEventHandler* Instance();
    // Guards the done flags of all CommandEvents.
    static QMutex& EventMutex();
    // Woken whenever a CommandEvent is done.
    static QWaitCondition& EventCondition();

    bool event(QEvent* pEvent) override;

    // Posts the command to this handler and waits up to timeoutMs (negative
    // counts as 0) for its
    // result; the results are then copied into *pArguments (when given).
    // False when the command failed, the wait timed out (the command then
    // does not run, or its results are dropped), or the caller is on this
    // handler's own thread (it would wait for itself).
    bool Send(const QString& rContext, const QString& rName, CommandArguments* pArguments,
              int timeoutMs);
};
