#include <logfile/LogRecord.h>

#include <joxcore/TextConversions.h>
#include <logfile/LogFile.h>

#include <zephrane/FolderPaths.h>
#include <zephrane/Utilities.h>

#include <exception>

QString LogLevelName(int level)
{
    static const char* const names[] = {"Fatal error", "Error",   "Warning", "Important",
                                        "Notice",      "Info",    "Verbose", "Debug"};
    if (level < 0 || level > 7)
        return QStringLiteral("Unknown");
    return QLatin1String(names[level]);
}

void FormatLogRecord(std::ostringstream& rStream, int level, int subtype, const char* category,
                     const char* message, const char* file, int line, const char* function)
{
    rStream << LogLevelName(level).toStdString();
    if (subtype > 0 || level <= 1)
        rStream << " (" << subtype << ")";
    rStream << ": ";
    if (category)
        rStream << category << " - ";
    if (message)
        rStream << message;
    if (file) {
        rStream << " [" << file;
        if (line != -1)
            rStream << " (line " << line << ")";
        if (function)
            rStream << ", " << function;
        rStream << "]";
    }
}

QString GetLogPath()
{
    // An exception here is not caught: it belongs to the caller's boundary.
    QString path = QString::fromStdWString(zephrane::CommonAppDataFolder()) +
                   QStringLiteral("JOX/Tandril/log/");
    try {
        const std::wstring folder = path.toStdWString();
        if (!zephrane::DirectoryExists(folder))
            zephrane::CreateDirectoryPath(folder);
    } catch (const std::exception&) {
        path.clear();
    }
    if (!path.isEmpty())
        path += QStringLiteral("tandril");
    return path;
}

namespace JoxCore {

void LogHandlerCallback(int level, int subtype, const char* category, const char* message,
                        const char* file, int line, const char* function, const TimeStamp*)
{
    // Writing may itself log (a Qt warning routed back here); such a record
    // is dropped instead of recursing.
    static thread_local bool inside = false;
    if (inside)
        return;
    struct Guard
    {
        Guard() { inside = true; }
        ~Guard() { inside = false; }
    } guard;
    std::ostringstream stream;
    FormatLogRecord(stream, level, subtype, category, message, file, line, function);
    LogFile::Write(StdStringToQString(stream.str()), QStringLiteral("maintenance"), level);
}

} // namespace JoxCore
