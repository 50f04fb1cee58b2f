#include "LogCapture.h"

#include <mutex>

namespace {

std::mutex gMutex;
std::string gCategory;
std::vector<LogCapture::Record> gRecords;

} // namespace

LogCapture::LogCapture(std::string category) : mHandler(&LogCapture::Capture)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gCategory = std::move(category);
    gRecords.clear();
}

LogCapture::~LogCapture()
{
    std::lock_guard<std::mutex> lock(gMutex);
    gRecords.clear();
}

void LogCapture::Capture(int level, int, const char* pCategory, const char* pMessage, const char*,
                         int, const char* pFunction, const JoxCore::TimeStamp*)
{
    std::lock_guard<std::mutex> lock(gMutex);
    if (pCategory != nullptr && gCategory == pCategory)
        gRecords.push_back({level, pMessage ? pMessage : "", pFunction ? pFunction : ""});
}

std::vector<LogCapture::Record> LogCapture::Records() const
{
    std::lock_guard<std::mutex> lock(gMutex);
    return gRecords;
}

std::vector<std::string> LogCapture::Messages() const
{
    std::vector<std::string> messages;
    for (const Record& rRecord : Records())
        messages.push_back(rRecord.message);
    return messages;
}

void LogCapture::Clear()
{
    std::lock_guard<std::mutex> lock(gMutex);
    gRecords.clear();
}
