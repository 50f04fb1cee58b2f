#include <joxcore/QtLogHandler.h>

#include <joxlog/JoxLog.h>

#include <QByteArray>
#include <QMessageLogContext>

namespace JoxCore {

QtLogHandler::QtLogHandler()
{
    qInstallMessageHandler(&QtLogHandler::QtHandler);
}

int QtLogHandler::LevelOf(int type)
{
    switch (type) {
    case QtDebugMsg:
        return 7;
    case QtWarningMsg:
        return 2;
    case QtCriticalMsg:
        return 1;
    case QtFatalMsg:
        return 0;
    default:
        return 7;
    }
}

void QtLogHandler::HandleLog(QtMsgType type, const char* pMessage)
{
    JoxCore::Log(LevelOf(type), static_cast<int>(type), "Qt message", pMessage, __FILE__, __LINE__,
                 "JoxCore::QtLogHandler::HandleLog");
}

void QtLogHandler::QtHandler(QtMsgType type, const QMessageLogContext&, const QString& rMessage)
{
    const QByteArray text = rMessage.toLocal8Bit();
    HandleLog(type, text.constData());
}

} // namespace JoxCore
