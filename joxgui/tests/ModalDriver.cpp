#include "ModalDriver.h"

#include <QApplication>

namespace joxguitest {

namespace {

const int kBudgetMs = 10000;
const int kRetryMs = 300;

} // namespace

ModalDriver::ModalDriver(std::function<void(QDialog*)> action)
    : mAction(std::move(action))
{
    mTimer.setInterval(10);
    QObject::connect(&mTimer, &QTimer::timeout, [this] { Tick(); });
    mClock.start();
    mTimer.start();
}

ModalDriver::~ModalDriver()
{
    mTimer.stop();
}

void ModalDriver::Tick()
{
    auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (pDialog == nullptr || !pDialog->isVisible()) {
        if (mClock.elapsed() > kBudgetMs)
            mTimer.stop();
        return;
    }
    if (mClock.elapsed() > kBudgetMs) {
        mTimer.stop();
        pDialog->reject();
        return;
    }
    if (pDialog != mpLast) {
        mpLast = pDialog;
        ++mSeen;
    } else if (mSinceAction.elapsed() < kRetryMs) {
        return;
    }
    mSinceAction.start();
    mAction(pDialog);
}

} // namespace joxguitest
