#pragma once

#include <simserver/SimServer.h>

#include <QString>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace controllertest {

// A simulated server on 127.0.0.1 with a port of four digits, as the URL
// check of a server connection demands.
class LocalServer
{
public:
    explicit LocalServer(const std::string& rFolder);
    ~LocalServer();

    simserver::SimServer& operator*() { return *mpServer; }
    simserver::SimServer* operator->() { return mpServer.get(); }
    QString Url() const;
    bool IsRunning() const { return mpServer != nullptr; }
    // Operations received so far, by name.
    int Count(const std::string& rOperation) const;

private:
    std::unique_ptr<simserver::SimServer> mpServer;
};

struct Record
{
    int mLevel;
    std::string mCategory;
    std::string mMessage;
    std::string mFunction;
    std::string mFile;
    int mLine = -1;
};

// True when the record's source line, or one of the two above it (a call
// written over several lines), holds the text.
bool RecordPointsAt(const Record& rRecord, const std::string& rCallText);

// Collects every log record of the process while it lives.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    std::vector<Record> Records() const;
    // Records whose message starts with the prefix.
    std::vector<Record> Matching(const std::string& rPrefix) const;
};

} // namespace controllertest
