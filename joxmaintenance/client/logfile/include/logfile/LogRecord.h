#pragma once

#include <joxlog/JoxLog.h>

#include <QString>
#include <sstream>

// "Fatal error", "Error", "Warning", "Important", "Notice", "Info",
// "Verbose", "Debug" for 0..7; "Unknown" otherwise.
QString LogLevelName(int level);

// Appends the text of one record: level name, the subtype in parentheses
// (when positive, or always at levels 0 and 1), ": ", "category - ",
// the message and " [file (line n), function]".
void FormatLogRecord(std::ostringstream& rStream, int level, int subtype, const char* category,
                     const char* message, const char* file, int line, const char* function);

// The folder and base name of the program's log files: the machine-wide
// application data folder, "JOX/Tandril/log/" (created when missing) and
// "tandril"; empty when the folder cannot be checked or created.
QString GetLogPath();

namespace JoxCore {

// The handler given to the logging library: formats the record and hands it
// to LogFile with the source "maintenance". A record logged while the same
// thread is already inside the handler is dropped.
void LogHandlerCallback(int level, int subtype, const char* category, const char* message,
                        const char* file, int line, const char* function, const TimeStamp* time);

} // namespace JoxCore
