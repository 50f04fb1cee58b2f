#pragma once

#include <list>
#include <string>

namespace joxmaintenance {

// One log source with a time span.
class LogEntry
{
public:
    // Throws std::invalid_argument for an empty type.
    LogEntry(const std::string& rType, const std::string& rStartTime, int durationSeconds);

    std::string GetType() const { return mType; }
    std::string GetStartTime() const { return mStartTime; }
    int GetDurationSeconds() const { return mDurationSeconds; }

private:
    std::string mType;
    std::string mStartTime;
    int mDurationSeconds;
};

using LogEntryList = std::list<LogEntry>;

} // namespace joxmaintenance
