#include "TestCloseHook.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

namespace joxmaintenance {

void InstallTestCloseHook()
{
    const char* pValue = std::getenv("TANDRIL_TEST_CLOSE_AFTER_MS");
    const int period = pValue ? std::atoi(pValue) : 0;
    if (period <= 0)
        return;
    QTimer* pTimer = new QTimer(qApp);
    pTimer->setInterval(period);
    QObject::connect(pTimer, &QTimer::timeout, [] {
        if (QDialog* pBox = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        {
            pBox->reject();
            return;
        }
        for (QWidget* pWindow : QApplication::topLevelWidgets())
        {
            if (pWindow->isVisible())
                pWindow->close();
        }
    });
    pTimer->start();
}

} // namespace joxmaintenance
