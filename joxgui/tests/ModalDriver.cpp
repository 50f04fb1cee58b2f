#include "ModalDriver.h"

#include <QApplication>
#include <QDialog>

namespace joxguitest {

ModalDriver::ModalDriver(std::function<void(QDialog*)> action)
    : mAction(std::move(action))
{
    mTimer.setInterval(10);
    QObject::connect(&mTimer, &QTimer::timeout, [this] {
        // At most ten seconds of waiting in all.
        if (++mTicks > 1000) {
            mTimer.stop();
            return;
        }
        auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (pDialog == nullptr || pDialog == mpLast || !pDialog->isVisible())
            return;
        mpLast = pDialog;
        ++mSeen;
        mAction(pDialog);
    });
    mTimer.start();
}

ModalDriver::~ModalDriver()
{
    mTimer.stop();
}

} // namespace joxguitest
