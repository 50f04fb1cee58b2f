#include <joxcore/CommandEventHandler.h>

#include <joxcore/CommandArguments.h>
#include <joxcore/CommandDispatch.h>
#include <joxcore/CommandEvent.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutexLocker>
#include <QThread>

namespace {

// One sent command's data, shared by the sender and the event.
struct Call
{
    CommandArguments mArguments;
    bool mResult = false;
    bool mDone = false;
};

} // namespace

CommandEventHandler::CommandEventHandler(QObject* pParent) : QObject(pParent) {}

CommandEventHandler::~CommandEventHandler() = default;

CommandEventHandler* CommandEventHandler::Instance()
{
    static CommandEventHandler handler;
    return &handler;
}

QMutex& CommandEventHandler::EventMutex()
{
    static QMutex mutex;
    return mutex;
}

QWaitCondition& CommandEventHandler::EventCondition()
{
    static QWaitCondition condition;
    return condition;
}

bool CommandEventHandler::event(QEvent* pEvent)
{
    if (pEvent == nullptr || pEvent->type() != CommandEvent::EventType())
        return QObject::event(pEvent);
    auto* pCommand = static_cast<CommandEvent*>(pEvent);
    {
        QMutexLocker lock(&EventMutex());
        if (*pCommand->mpAbandoned)
            return true;
    }
    // The dispatch runs without the event mutex, so a sender's timed wait
    // ends on time however long the command takes.
    const bool result = CommandDispatch(pCommand->mContext, pCommand->mName, pCommand->mpArguments);
    QMutexLocker lock(&EventMutex());
    if (pCommand->mpResult != nullptr)
        *pCommand->mpResult = result;
    if (pCommand->mpDone != nullptr)
        *pCommand->mpDone = true;
    EventCondition().wakeAll();
    return true;
}

bool CommandEventHandler::Send(const QString& rContext, const QString& rName, CommandArguments* pArguments,
                               int timeoutMs)
{
    if (QThread::currentThread() == thread())
        return false;
    auto pCall = std::make_shared<Call>();
    if (pArguments != nullptr)
        pCall->mArguments = *pArguments;
    auto* pEvent = new CommandEvent(rContext, rName, pArguments != nullptr ? &pCall->mArguments : nullptr,
                                    &pCall->mResult, &pCall->mDone, pCall);
    const std::shared_ptr<bool> pAbandoned = pEvent->mpAbandoned;
    QDeadlineTimer deadline(qMax(0, timeoutMs));
    QMutexLocker lock(&EventMutex());
    QCoreApplication::postEvent(this, pEvent);
    while (!pCall->mDone) {
        if (!EventCondition().wait(&EventMutex(), deadline)) {
            if (pCall->mDone)
                break;
            *pAbandoned = true;
            return false;
        }
    }
    if (pArguments != nullptr)
        pArguments->mResults = pCall->mArguments.mResults;
    return pCall->mResult;
}
