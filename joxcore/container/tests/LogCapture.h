#pragma once

#include <joxlog/JoxLog.h>

#include <string>
#include <vector>

// Collects the log records of one category for as long as it lives.
class LogCapture
{
public:
    struct Record
    {
        int level;
        std::string message;
        std::string function;
    };

    explicit LogCapture(std::string category);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<Record> Records() const;
    // The messages only, in order.
    std::vector<std::string> Messages() const;
    void Clear();

private:
    static void Capture(int level, int subtype, const char* pCategory, const char* pMessage,
                        const char* pFile, int line, const char* pFunction,
                        const JoxCore::TimeStamp* pTime);
    JoxCore::SetLogHandler mHandler;
};
