#include <joxcore/QThreadWrapper.h>

#include <joxlog/JoxLog.h>

#include <QDeadlineTimer>
#include <QTextStream>

namespace JoxCore {

QThreadWrapper::QThreadWrapper(QObject* pParent)
    : QObject(pParent)
{
    connect(&mThread, &QThread::finished, this, &QThreadWrapper::SignalFinished, Qt::QueuedConnection);
    mThread.start(QThread::InheritPriority);
}

void QThreadWrapper::Quit()
{
    mThread.quit();
}

bool QThreadWrapper::Wait(int milliseconds)
{
    return mThread.wait(QDeadlineTimer(milliseconds));
}

bool QThreadWrapper::IsFinished() const
{
    return mThread.isFinished();
}

QThreadWrapper::~QThreadWrapper()
{
    mThread.quit();
    mThread.wait();
}

bool QThreadWrapper::AddObject(QObject* pObject)
{
    if (pObject == nullptr || pObject->parent() != nullptr)
        return false;

    QThread* pOldThread = QThread::currentThread();
    pObject->moveToThread(&mThread);
    const bool connected = static_cast<bool>(
        connect(&mThread, &QThread::finished, pObject, &QObject::deleteLater));

    QString text;
    QTextStream stream(&text);
    stream << "Moved thread affinity of QObject " << static_cast<const void*>(pObject) << " from "
           << static_cast<const void*>(pOldThread) << " to "
           << static_cast<const void*>(pObject->thread());
    stream.flush();
    const QByteArray message = text.toLocal8Bit();
    JoxCore::Log(5, 0, "QThreadWrapper", message.constData(), __FILE__, __LINE__,
                 "JoxCore::QThreadWrapper::AddObject");
    return connected;
}

} // namespace JoxCore
