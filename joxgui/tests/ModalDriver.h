#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace joxguitest {

// Waits (bounded) for a modal dialog to appear while a nested exec() runs and
// hands it to an action. A dialog still open 300 ms after the action gets it
// again; one still open when the ten seconds are over is rejected, so a test
// fails instead of hanging. Seen counts the distinct dialogs.
class ModalDriver
{
public:
    explicit ModalDriver(std::function<void(QDialog*)> action);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    int Seen() const { return mSeen; }

private:
    void Tick();

    std::function<void(QDialog*)> mAction;
    QTimer mTimer;
    QElapsedTimer mClock;
    QElapsedTimer mSinceAction;
    QPointer<QDialog> mpLast;
    int mSeen = 0;
};

} // namespace joxguitest
