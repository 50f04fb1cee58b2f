#pragma once

#include <joxlog/JoxLog.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace maintenancetest {

struct LogRecord
{
    int mLevel;
    int mSubtype;
    std::string mCategory;
    std::string mMessage;
    std::string mFunction;
};

// Collects the log records written while it lives (one at a time).
class LogCapture
{
public:
    LogCapture()
        : mHandler(&LogCapture::Handle)
    {
        std::lock_guard<std::mutex> lock(Mutex());
        Records().clear();
    }

    std::vector<LogRecord> GetRecords() const
    {
        std::lock_guard<std::mutex> lock(Mutex());
        return Records();
    }

    // The records of one category.
    std::vector<LogRecord> InCategory(const std::string& rCategory) const
    {
        std::vector<LogRecord> found;
        for (const LogRecord& rRecord : GetRecords())
        {
            if (rRecord.mCategory == rCategory)
                found.push_back(rRecord);
        }
        return found;
    }

private:
    static void Handle(int level, int subtype, const char* pCategory, const char* pMessage, const char*, int,
                       const char* pFunction, const JoxCore::TimeStamp*)
    {
        std::lock_guard<std::mutex> lock(Mutex());
        Records().push_back({level, subtype, pCategory ? pCategory : "", pMessage ? pMessage : "",
                             pFunction ? pFunction : ""});
    }
    static std::mutex& Mutex()
    {
        static std::mutex mutex;
        return mutex;
    }
    static std::vector<LogRecord>& Records()
    {
        static std::vector<LogRecord> records;
        return records;
    }

    JoxCore::SetLogHandler mHandler;
};

} // namespace maintenancetest
