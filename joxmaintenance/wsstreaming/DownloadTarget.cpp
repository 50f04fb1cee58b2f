#include "joxwsstreaming/DownloadTarget.h"

#include "joxwsstreaming/CollectionName.h"

#include <QFile>

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

// Moves rFrom to rTo unless rTo exists; 0 or an errno value, with rNameTaken
// set when the error means that rTo exists. A name that could not be removed
// on the way (the temporary one, after the file was stored; the reservation
// of rTo, after a rename failed) is added to rLeftovers with the system's
// reason.
int RenameWithoutReplacing(const std::string& rFrom, const std::string& rTo, bool& rNameTaken,
                           std::vector<std::pair<std::string, std::string>>& rLeftovers)
{
    rNameTaken = false;
    if (::renameat2(AT_FDCWD, rFrom.c_str(), AT_FDCWD, rTo.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
    {
        rNameTaken = errno == EEXIST;
        return errno;
    }
    // A file system without the flag: a hard link fails when the name exists.
    if (::link(rFrom.c_str(), rTo.c_str()) == 0)
    {
        // Both names hold the whole file: it is stored, whatever becomes of
        // the temporary name.
        if (::unlink(rFrom.c_str()) != 0)
            rLeftovers.emplace_back(rFrom, std::strerror(errno));
        return 0;
    }
    if (errno != EPERM && errno != ENOSYS && errno != ENOTSUP)
    {
        rNameTaken = errno == EEXIST;
        return errno;
    }
    // Nor hard links (FUSE mounts, network shares): the name is reserved by
    // creating it, which fails when it exists, and the file is renamed onto
    // that reservation. Not atomic: for a moment the name holds an empty file.
    const int reservation = ::open(rTo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (reservation < 0)
    {
        rNameTaken = errno == EEXIST;
        return errno;
    }
    ::close(reservation);
    // The name is this program's now: whatever the rename onto it answers,
    // "File exists" too, is the file system's failure, not a taken name.
    if (::rename(rFrom.c_str(), rTo.c_str()) == 0)
        return 0;
    const int error = errno;
    if (::unlink(rTo.c_str()) != 0)
        rLeftovers.emplace_back(rTo, std::strerror(errno));
    return error;
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
    return QFile::encodeName(CollectionName::FileName(rWireName)).toStdString();
}

std::string DownloadTarget::NumberedName(const std::string& rName, int number)
{
    // The extension starts at the last dot that is not the name's first
    // character, or at ".tar" before it.
    std::size_t dot = rName.rfind('.');
    if (dot == 0 || dot == std::string::npos)
        dot = rName.size();
    else if (dot >= 5 && rName.compare(dot - 4, 4, ".tar") == 0)
        dot -= 4;
    return rName.substr(0, dot) + " (" + std::to_string(number) + ")" + rName.substr(dot);
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
    // A download that could not even begin.
    if (!mError.empty())
        return Abandon({});
    std::vector<std::string> moved;
    for (const Pending& rFile : mPending)
    {
        if (!rFile.mError.empty())
        {
            mError = rFile.mFinalPath + ": " + rFile.mError;
            return Abandon(moved);
        }
        std::string path;
        bool nameTaken = false;
        if (const int error = MoveIntoPlace(rFile, path, nameTaken); error != 0)
        {
            RecordFailure(rFile, path, error, nameTaken);
            return Abandon(moved);
        }
        moved.push_back(path);
    }
    mPending.clear();
    mCommitted.insert(mCommitted.end(), moved.begin(), moved.end());
    return true;
}

int DownloadTarget::MoveIntoPlace(const Pending& rFile, std::string& rPath, bool& rNameTaken)
{
    rPath = rFile.mFinalPath;
    int error = RenameWithoutReplacing(rFile.mTemporaryPath, rPath, rNameTaken, mLeftovers);
    if (mNameClash == NameClash::Fail)
        return error;
    const std::size_t separator = rFile.mFinalPath.rfind('/');
    const std::string folder = rFile.mFinalPath.substr(0, separator + 1);
    const std::string name = rFile.mFinalPath.substr(separator + 1);
    for (int number = 2; rNameTaken && number <= kMaxNameNumber; ++number)
    {
        rPath = folder + NumberedName(name, number);
        error = RenameWithoutReplacing(rFile.mTemporaryPath, rPath, rNameTaken, mLeftovers);
    }
    return error;
}

void DownloadTarget::RecordFailure(const Pending& rFile, const std::string& rPath, int error, bool nameTaken)
{
    mNameTaken = nameTaken;
    mFailedPath = mNameTaken ? rFile.mFinalPath : rPath;
    mFailedReason = std::strerror(error);
    if (!mNameTaken)
        mError = rPath + ": " + mFailedReason;
    else if (mNameClash == NameClash::Fail)
        mError = rPath + " already exists and was not replaced";
    else
        mError = rFile.mFinalPath + " and every numbered name up to " + rPath + " exist";
}

bool DownloadTarget::Abandon(const std::vector<std::string>& rMoved)
{
    Discard();
    // All or nothing: the files this commit moved into place were new, so
    // taking them away again leaves the folder as it was.
    for (const std::string& rPath : rMoved)
        std::remove(rPath.c_str());
    return false;
}

bool DownloadTarget::CountContinuation(std::uint64_t fieldBytes, std::string& rError)
{
    if (fieldBytes <= kMaxRecordHeaderBytes)
        return true;
    rError = "a record's id, type and options take " + std::to_string(fieldBytes) + " bytes, more than " +
             std::to_string(kMaxRecordHeaderBytes);
    return false;
}

bool DownloadTarget::CountRecord(std::uint64_t fieldBytes, std::string& rError)
{
    if (!CountContinuation(fieldBytes, rError))
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
