#include "joxmaintenance/LogEntry.h"

#include <stdexcept>

namespace joxmaintenance {

LogEntry::LogEntry(const std::string& rType, const std::string& rStartTime, int durationSeconds)
    : mType(rType)
    , mStartTime(rStartTime)
    , mDurationSeconds(durationSeconds)
{
    if (mType.empty())
        throw std::invalid_argument("empty logtype is not allowed for log entries.");
}

} // namespace joxmaintenance
