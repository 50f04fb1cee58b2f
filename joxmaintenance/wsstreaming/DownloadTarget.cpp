#include "joxwsstreaming/DownloadTarget.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace joxwsstreaming {

namespace {

std::string RandomSuffix()
{
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(generator()));
    return text;
}

} // namespace

DownloadTarget::DownloadTarget(const std::string& rFolder, const std::string& rLookupKey)
    : mFolder(rFolder)
    , mLookupKey(rLookupKey)
{
}

DownloadTarget::~DownloadTarget()
{
    Discard();
}

std::string DownloadTarget::SafeFileName(const std::string& rName)
{
    const std::size_t separator = rName.find_last_of("/\\");
    std::string name = separator == std::string::npos ? rName : rName.substr(separator + 1);
    if (name == "." || name == ".." || name.find('\0') != std::string::npos)
        return std::string();
    return name;
}

std::string DownloadTarget::Begin(const std::string& rFileName)
{
    std::string prefix = mFolder;
    if (!prefix.empty() && prefix.back() != '/')
        prefix += '/';
    const std::string finalPath = prefix + rFileName;
    const std::string temporaryPath = prefix + "." + rFileName + "." + RandomSuffix() + ".part";
    mPending.emplace_back(temporaryPath, finalPath);
    return temporaryPath;
}

bool DownloadTarget::Commit()
{
    bool ok = true;
    for (const auto& rFile : mPending)
    {
        if (ok && std::rename(rFile.first.c_str(), rFile.second.c_str()) == 0)
        {
            mCommitted.push_back(rFile.second);
            continue;
        }
        if (ok)
            mError = rFile.second + ": " + std::strerror(errno);
        ok = false;
        std::remove(rFile.first.c_str());
    }
    mPending.clear();
    return ok;
}

void DownloadTarget::Discard()
{
    for (const auto& rFile : mPending)
        std::remove(rFile.first.c_str());
    mPending.clear();
}

} // namespace joxwsstreaming
