#pragma once

#include <joxlog/JoxLogExport.h>

namespace JoxCore {

// Opaque time stamp of a record; every caller passes a null pointer.
struct TimeStamp;

// Hands one record to the registered handler, on the calling thread. Levels
// 0..7 run from fatal error to debug; subtype carries an optional code.
// Records are dropped while no handler is registered. Safe on any thread.
JOXLOG_EXPORT void Log(int level, int subtype, const char* category, const char* message,
                       const char* file, int line, const char* function,
                       const TimeStamp* time = nullptr);

// The handler's signature: exactly the parameters of Log.
using LogHandlerFunction = void (*)(int level, int subtype, const char* category,
                                    const char* message, const char* file, int line,
                                    const char* function, const TimeStamp* time);

// Registers a handler for as long as the object lives; a later registration
// replaces an earlier one.
class JOXLOG_EXPORT SetLogHandler
{
public:
    explicit SetLogHandler(LogHandlerFunction handler);
    ~SetLogHandler();
    SetLogHandler(const SetLogHandler&) = delete;
    SetLogHandler& operator=(const SetLogHandler&) = delete;

private:
    LogHandlerFunction mHandler;
};

} // namespace JoxCore

// A connection to the logging service. The stand-in keeps its arguments
// and does nothing else with them.
class JOXLOG_EXPORT OxalLogConnection
{
public:
    OxalLogConnection(const char* name, int flags, bool first, bool second, const char* text);
    OxalLogConnection(const OxalLogConnection&) = delete;
    OxalLogConnection& operator=(const OxalLogConnection&) = delete;

private:
    const char* mName;
    int mFlags;
    bool mFirst;
    bool mSecond;
    const char* mText;
};
