#include "ControllerTestSupport.h"

#include <joxlog/JoxLog.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace controllertest {

namespace {

std::mutex gMutex;
std::vector<Record> gRecords;
std::unique_ptr<JoxCore::SetLogHandler> gpHandler;

void Capture(int level, int, const char* pCategory, const char* pMessage, const char* pFile, int line,
             const char* pFunction, const JoxCore::TimeStamp*)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gRecords.push_back({level, pCategory ? pCategory : "", pMessage ? pMessage : "",
                        pFunction ? pFunction : "", pFile ? pFile : "", line});
}

} // namespace

LocalServer::LocalServer(const std::string& rFolder)
{
    // Bounded search for a free port of four digits.
    static int sCounter = 0;
    const int seed = static_cast<int>(getpid()) * 13 + 101 * sCounter++;
    for (int i = 0; i < 200; ++i) {
        auto pServer = std::make_unique<simserver::SimServer>(rFolder);
        if (pServer->Start("127.0.0.1", 2000 + (seed + i * 7) % 7000)) {
            mpServer = std::move(pServer);
            return;
        }
    }
}

LocalServer::~LocalServer()
{
    if (mpServer)
        mpServer->Stop();
}

QString LocalServer::Url() const
{
    return QString::fromStdString(mpServer->GetUrl());
}

int LocalServer::Count(const std::string& rOperation) const
{
    int count = 0;
    for (const simserver::ReceivedRequest& rRequest : mpServer->GetRequests())
        if (rRequest.mOperation == rOperation)
            ++count;
    return count;
}

bool RecordPointsAt(const Record& rRecord, const std::string& rCallText)
{
    // A relative name (the compiler's, relative to the build folder) is
    // looked for below the folders above the current one.
    std::filesystem::path file(rRecord.mFile);
    if (file.is_relative()) {
        std::filesystem::path below;
        for (const std::filesystem::path& rPart : file)
            if (rPart != ".." && rPart != ".")
                below /= rPart;
        for (std::filesystem::path folder = std::filesystem::current_path(); !folder.empty();
             folder = folder.parent_path()) {
            if (std::filesystem::exists(folder / below)) {
                file = folder / below;
                break;
            }
            if (folder == folder.parent_path())
                break;
        }
    }
    std::ifstream source(file);
    std::string text;
    for (int line = 1; line <= rRecord.mLine && std::getline(source, text); ++line)
        if (line >= rRecord.mLine - 2 && text.find(rCallText) != std::string::npos)
            return true;
    return false;
}

LogCapture::LogCapture()
{
    std::lock_guard<std::mutex> lock(gMutex);
    gRecords.clear();
    gpHandler = std::make_unique<JoxCore::SetLogHandler>(&Capture);
}

LogCapture::~LogCapture()
{
    gpHandler.reset();
}

std::vector<Record> LogCapture::Records() const
{
    std::lock_guard<std::mutex> lock(gMutex);
    return gRecords;
}

std::vector<Record> LogCapture::Matching(const std::string& rPrefix) const
{
    std::vector<Record> result;
    for (const Record& rRecord : Records())
        if (rRecord.mMessage.rfind(rPrefix, 0) == 0)
            result.push_back(rRecord);
    return result;
}

} // namespace controllertest
