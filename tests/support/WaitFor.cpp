#include "WaitFor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QThread>

namespace tandriltest {

bool WaitFor(const std::function<bool()>& rCondition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!rCondition())
    {
        if (deadline.hasExpired())
            return rCondition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(5);
    }
    return true;
}

} // namespace tandriltest
