#include "MainApplication.h"

#include <joxmaintenance/Command.h>
#include <styles/HarlenStyle.h>

#include <QMetaType>

namespace joxmaintenance {

MainApplication::MainApplication(int& rArgc, char** argv)
    : QApplication(rArgc, argv)
{
    qRegisterMetaType<joxmaintenance::CommandPtr>("joxmaintenance::CommandPtr");
    setOrganizationName(QStringLiteral("Kalmbeck JOX GmbH"));
    setApplicationName(QStringLiteral("Tandril"));
    // QApplication takes ownership of the style.
    setStyle(new HarlenStyle());
    setQuitOnLastWindowClosed(true);
    connect(this, &QCoreApplication::aboutToQuit, this, &MainApplication::SlotQuit);
}

void MainApplication::SlotQuit()
{
}

} // namespace joxmaintenance
