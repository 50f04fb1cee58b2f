#include <joxlog/JoxLog.h>

#include <atomic>

namespace JoxCore {

namespace {
std::atomic<LogHandlerFunction> gHandler{nullptr};
}

void Log(int level, int subtype, const char* category, const char* message,
         const char* file, int line, const char* function, const TimeStamp* time)
{
    if (LogHandlerFunction handler = gHandler.load(std::memory_order_acquire))
        handler(level, subtype, category, message, file, line, function, time);
}

SetLogHandler::SetLogHandler(LogHandlerFunction handler)
    : mHandler(handler)
{
    gHandler.store(handler, std::memory_order_release);
}

SetLogHandler::~SetLogHandler()
{
    // Unregister only when no later registration replaced this one.
    LogHandlerFunction expected = mHandler;
    gHandler.compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel);
}

} // namespace JoxCore

OxalLogConnection::OxalLogConnection(const char* name, int flags, bool first, bool second,
                                     const char* text)
    : mName(name)
    , mFlags(flags)
    , mFirst(first)
    , mSecond(second)
    , mText(text)
{
}
