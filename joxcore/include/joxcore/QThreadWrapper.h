#pragma once

#include <QObject>
#include <QThread>

namespace JoxCore {

// Owns one running Qt thread (its own event loop only). Objects added are
// moved into it and deleted when it finishes.
class QThreadWrapper : public QObject
{
    Q_OBJECT

public:
    // Starts the thread at once with the inherited priority.
    explicit QThreadWrapper(QObject* pParent = nullptr);
    // Quits the thread's event loop and waits for it without a time limit.
    ~QThreadWrapper() override;

    // Moves a parentless object into the thread, which then owns its
    // lifetime. A null object or one with a parent is refused (false).
    bool AddObject(QObject* pObject);

    // Asks the thread's event loop to end and returns at once.
    void Quit();
    // Waits at most the given time for the thread to end; true when it has.
    bool Wait(int milliseconds);
    bool IsFinished() const;

signals:
    // The thread has ended (delivered in the wrapper's thread).
    void SignalFinished();

private:
    QThread mThread;
};

} // namespace JoxCore
