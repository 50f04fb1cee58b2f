#include "joxwsstreaming/DownloadTarget.h"

#include <QFile>
#include <QString>
#include <QStringDecoder>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace joxwsstreaming {

namespace {

// "." + name + "." + 16 hex digits + ".part"
constexpr std::size_t kTemporaryExtraBytes = 1 + 1 + 16 + 5;
const char kTemporaryEnd[] = ".part";
constexpr std::size_t kSuffixDigits = 16;

std::string RandomSuffix()
{
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(generator()));
    return text;
}

// The longest file name the folder's file system takes.
std::size_t NameLimit(const std::string& rFolder)
{
    const long limit = ::pathconf(rFolder.empty() ? "." : rFolder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : static_cast<std::size_t>(NAME_MAX);
}

// The first bytes of rName, at most rBytes, not ending inside a UTF-8 sequence.
std::string Shortened(const std::string& rName, std::size_t bytes)
{
    if (rName.size() <= bytes)
        return rName;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(rName[end]) & 0xC0) == 0x80)
        --end;
    return rName.substr(0, end);
}

// Moves rFrom to rTo unless rTo exists; 0 or an errno value.
int RenameWithoutReplacing(const std::string& rFrom, const std::string& rTo)
{
    if (::renameat2(AT_FDCWD, rFrom.c_str(), AT_FDCWD, rTo.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    // A file system without the flag: a hard link fails when the name exists.
    if (::link(rFrom.c_str(), rTo.c_str()) != 0)
        return errno;
    ::unlink(rFrom.c_str());
    return 0;
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

std::string DownloadTarget::LocalFileName(const std::string& rWireName)
{
    const std::string name = SafeFileName(rWireName);
    const QByteArray bytes(name.data(), static_cast<qsizetype>(name.size()));
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    for (const QChar character : text)
    {
        if (character.category() == QChar::Other_Control)
            return std::string();
    }
    const std::string local = QFile::encodeName(text).toStdString();
    return IsTemporaryName(local) ? std::string() : local;
}

bool DownloadTarget::IsTemporaryName(const std::string& rName)
{
    const std::size_t endBytes = sizeof kTemporaryEnd - 1;
    if (rName.size() < kTemporaryExtraBytes || rName.front() != '.' ||
        rName.compare(rName.size() - endBytes, endBytes, kTemporaryEnd) != 0)
        return false;
    const std::size_t suffix = rName.size() - endBytes - kSuffixDigits;
    if (rName[suffix - 1] != '.')
        return false;
    for (std::size_t i = suffix; i < suffix + kSuffixDigits; ++i)
    {
        if (!std::isxdigit(static_cast<unsigned char>(rName[i])))
            return false;
    }
    return true;
}

std::string DownloadTarget::Begin(const std::string& rFileName)
{
    std::string prefix = mFolder;
    if (!prefix.empty() && prefix.back() != '/')
        prefix += '/';
    const std::size_t limit = NameLimit(mFolder);
    if (rFileName.size() > limit)
    {
        if (mError.empty())
        {
            mError = prefix + rFileName + ": " + std::strerror(ENAMETOOLONG);
            mFailedPath = prefix + rFileName;
            mFailedReason = std::strerror(ENAMETOOLONG);
        }
        return std::string();
    }
    const std::string temporaryName =
        "." + Shortened(rFileName, limit - kTemporaryExtraBytes) + "." + RandomSuffix() + ".part";
    mPending.push_back({prefix + temporaryName, prefix + rFileName, std::string()});
    return mPending.back().mTemporaryPath;
}

void DownloadTarget::Fail(const std::string& rTemporaryPath, const std::string& rError)
{
    for (Pending& rFile : mPending)
    {
        if (rFile.mTemporaryPath == rTemporaryPath && rFile.mError.empty())
            rFile.mError = rError;
    }
}

bool DownloadTarget::Commit()
{
    bool ok = mError.empty();
    std::vector<std::string> moved;
    for (const Pending& rFile : mPending)
    {
        if (ok && rFile.mError.empty())
        {
            const int error = RenameWithoutReplacing(rFile.mTemporaryPath, rFile.mFinalPath);
            if (error == 0)
            {
                moved.push_back(rFile.mFinalPath);
                continue;
            }
            mError = error == EEXIST ? rFile.mFinalPath + " already exists and was not replaced"
                                     : rFile.mFinalPath + ": " + std::strerror(error);
            mNameTaken = error == EEXIST;
            mFailedPath = rFile.mFinalPath;
            mFailedReason = std::strerror(error);
        }
        else if (ok)
        {
            mError = rFile.mFinalPath + ": " + rFile.mError;
        }
        ok = false;
        std::remove(rFile.mTemporaryPath.c_str());
    }
    mPending.clear();
    // All or nothing: the files this commit moved into place were new, so
    // taking them away again leaves the folder as it was.
    if (!ok)
    {
        for (const std::string& rPath : moved)
            std::remove(rPath.c_str());
        return false;
    }
    mCommitted.insert(mCommitted.end(), moved.begin(), moved.end());
    return true;
}

bool DownloadTarget::CountContinuation(std::size_t headerBytes, std::string& rError)
{
    if (headerBytes <= kMaxRecordHeaderBytes)
        return true;
    rError = "a record's id, type and options take " + std::to_string(headerBytes) + " bytes, more than " +
             std::to_string(kMaxRecordHeaderBytes);
    return false;
}

bool DownloadTarget::CountRecord(std::size_t headerBytes, std::string& rError)
{
    if (!CountContinuation(headerBytes, rError))
        return false;
    if (++mRecords > kMaxRecords)
    {
        rError = "the reply carries more than " + std::to_string(kMaxRecords) + " DIME records";
        return false;
    }
    return true;
}

std::pair<std::string, std::string> DownloadTarget::GetFileFailure() const
{
    if (!mFailedPath.empty())
        return {mFailedPath, mFailedReason};
    for (const Pending& rFile : mPending)
    {
        if (!rFile.mError.empty())
            return {rFile.mFinalPath, rFile.mError};
    }
    return {};
}

void DownloadTarget::Discard()
{
    for (const Pending& rFile : mPending)
        std::remove(rFile.mTemporaryPath.c_str());
    mPending.clear();
}

} // namespace joxwsstreaming
