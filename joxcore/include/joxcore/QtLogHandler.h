#pragma once

#include <QtGlobal>
#include <QString>

class QMessageLogContext;

namespace JoxCore {

// Routes every message Qt itself emits into the logging library. Building one
// installs the handler for the rest of the process; nothing uninstalls it.
class QtLogHandler
{
public:
    QtLogHandler();

    // Logs one Qt message with category "Qt message"; the Qt message type is
    // the subtype and selects the level (debug 7, warning 2, critical 1,
    // fatal 0, any other 7).
    static void HandleLog(QtMsgType type, const char* pMessage);

private:
    static int LevelOf(int type);
    static void QtHandler(QtMsgType type, const QMessageLogContext& rContext, const QString& rMessage);
};

} // namespace JoxCore
