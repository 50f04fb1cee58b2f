#include "CrashHandler.h"
#include "MainApplication.h"
#include "MainWindow.h"
#include "StartWsddClient.h"

#include <joxcore/QtLogHandler.h>
#include <joxcore/TextConversions.h>
#include <joxmaintenance/MaintenanceController.h>
#include <joxlog/JoxLog.h>
#include <logfile/LogFile.h>
#include <logfile/LogRecord.h>

#include <QMessageBox>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

const std::uint32_t kProgramVersion = 0x0100010E;
// The longest wait for the maintenance threads at exit; the discovery
// threads stop in what is left of the exit's 3 s.
const int kMaintenanceStopMs = 2000;

// Registered before main: from here on every record reaches the log writer,
// which drops them until the log file is started.
OxalLogConnection gLogConnection("ossirane", 0x400000, false, false, "not used");
JoxCore::SetLogHandler gLogHandler(&JoxCore::LogHandlerCallback);

} // namespace

int main(int argc, char** argv)
{
    InstallCrashHandler("tandril.dmp");
    try
    {
        JoxCore::QtLogHandler qtLogHandler;
        LogFile::Start(GetLogPath(), 5, QStringLiteral("Tandril"), FormatVersion(kProgramVersion), QString());

        joxmaintenance::MainApplication application(argc, argv);

        JoxWsdd::WSDDClient* pClient = joxmaintenance::startWSDDClient();
        if (!pClient)
        {
            LogFile::Write(QStringLiteral("WSDDClient failed to start!"), QStringLiteral("app"), 1);
            QMessageBox::critical(nullptr, QStringLiteral("Critical"),
                                  QStringLiteral("WSDDClient failed to start. Tandril is not functional.\nQuitting application..."),
                                  QMessageBox::Ok);
            return 1;
        }

        joxmaintenance::MainWindow* pWindow = new joxmaintenance::MainWindow(pClient->GetThreadListenIps());
        pWindow->show();
        application.setActiveWindow(pWindow);
        const int result = application.exec();

        // The window gives its maintenance controller up; then every request
        // and poll is aborted (a download removes its temporary file) and its
        // thread waited for, within a bounded time.
        delete pWindow;
        const bool stopped = joxmaintenance::MaintenanceController::StopAll(kMaintenanceStopMs);
        delete pClient;
        if (!stopped)
        {
            // A thread that is still running must not meet the static
            // destructors: leave without them.
            JoxCore::Log(2, 0, "Tandril", "Maintenance threads did not end in time; leaving at once.", __FILE__,
                         __LINE__, "main");
            std::fflush(nullptr);
            std::_Exit(result);
        }
        return result;
    }
    catch (const std::exception& rError)
    {
        const std::string message = std::string("Caught an exception: ") + rError.what();
        JoxCore::Log(5, 0, "Tandril", message.c_str(), __FILE__, __LINE__, "main");
    }
    catch (...)
    {
        JoxCore::Log(5, 0, "Tandril", "Caught an unknown exception", __FILE__, __LINE__, "main");
    }
    return -1;
}
