#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>


namespace joxguitest {

// Waits (bounded) for a modal dialog to appear while a nested exec() runs,
// then hands it to an action once. Counts the dialogs seen.
class ModalDriver
{
public:
    explicit ModalDriver(std::function<void(QDialog*)> action);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    int Seen() const { return mSeen; }

private:
    std::function<void(QDialog*)> mAction;
    QTimer mTimer;
    QPointer<QDialog> mpLast;
    int mSeen = 0;
    int mTicks = 0;
};

} // namespace joxguitest
