#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace joxwsstreaming {

class DownloadProgress;

// Where the attachments of one call are written. The SOAP context's user-data
// pointer refers to it during the call. Each attachment goes to a temporary
// file in the folder; after the call the caller either commits (moves them to
// their names, never over an existing file) or discards them, so a failed
// download never leaves a truncated file nor destroys an existing one. It
// also keeps the reply's account of DIME records: how many carried header
// fields, their framing as sent, where the last one ended, and whether the
// reply's collection was taken.
class DownloadTarget
{
public:
    // The most DIME records that start a payload (not chunk records that
    // continue one) a reply may carry besides its envelope.
    static constexpr std::size_t kMaxRecords = 16;
    // The most one record's id, type and options may take together, as sent
    // (with their padding). The runtime holds a field of n bytes in a block
    // of at most n + 26, so the bound also bounds the memory of the records
    // it keeps until the call ends.
    static constexpr std::size_t kMaxRecordHeaderBytes = 8 * 1024;
    // The highest number NumberedName gives when Commit looks for a free name.
    static constexpr int kMaxNameNumber = 100;

    // What Commit does when a file of a download's name exists.
    enum class NameClash
    {
        Fail,      // the commit fails (IsNameTaken)
        FreeName   // the download is stored under the first free NumberedName
    };

    // rFolder: the folder the files land in, as a local path (the file
    // system's encoding); rLookupKey: the command status in the process-wide
    // list that the callbacks report progress to.
    explicit DownloadTarget(const std::string& rFolder, const std::string& rLookupKey = std::string());
    // Discards what was not committed.
    ~DownloadTarget();
    DownloadTarget(const DownloadTarget&) = delete;
    DownloadTarget& operator=(const DownloadTarget&) = delete;

    const std::string& GetFolder() const { return mFolder; }
    const std::string& GetLookupKey() const { return mLookupKey; }

    // The last path component of a name a server sent (after '/' or '\\');
    // empty when nothing usable is left ("", "." or "..", or a NUL byte).
    static std::string SafeFileName(const std::string& rName);
    // The same name as a local file name in the file system's encoding, by
    // the rule of CollectionName::FileName: the wire bytes read as UTF-8
    // when they are valid UTF-8, else as Windows-1252. Empty when nothing
    // usable is left, when the name holds a control or format character
    // (bidirectional controls, zero-width characters, the byte-order mark)
    // or a byte Windows-1252 leaves undefined, when it is blank, or when it
    // has the form of a download's temporary file.
    static std::string LocalFileName(const std::string& rWireName);
    // rName (a file name) with " (number)" before its extension:
    // "c.zip" -> "c (2).zip", "c.tar.gz" -> "c (2).tar.gz", "c" -> "c (2)".
    static std::string NumberedName(const std::string& rName, int number);
    // Whether rName (a file name) has the form Begin gives temporary files.
    static bool IsTemporaryName(const std::string& rName);
    // Registers a download of rFileName (a local file name, already safe) and
    // returns the temporary path to write it to; empty (with GetError) when
    // the name is too long for the folder's file system.
    std::string Begin(const std::string& rFileName);
    // Marks the download written to rTemporaryPath as failed (rError: the
    // system's reason): Commit then fails with that error.
    void Fail(const std::string& rTemporaryPath, const std::string& rError);
    // How Commit treats an existing file of a download's name (Fail unless set).
    void SetNameClash(NameClash clash) { mNameClash = clash; }
    // Moves every download into place without replacing an existing file;
    // false (with GetError) when one failed or could not be moved, in which
    // case nothing stays: the files already moved and the remaining
    // temporary files are removed.
    bool Commit();
    // Removes the temporary files.
    void Discard();
    // Number of downloads begun and not yet committed or discarded.
    std::size_t GetPendingCount() const { return mPending.size(); }
    // The final paths of the committed downloads.
    const std::vector<std::string>& GetCommittedPaths() const { return mCommitted; }
    // The first failure; empty when there was none.
    const std::string& GetError() const { return mError; }
    // The first failure of a local file, also before Commit: the final path
    // of the file and the system's reason; both empty when none failed.
    std::pair<std::string, std::string> GetFileFailure() const;
    // The names a commit made and could not remove again, each with the
    // system's reason: a download's temporary name beside the stored file
    // (both names hold it), or the empty file that reserved a name on a
    // file system without no-replace renames or hard links.
    const std::vector<std::pair<std::string, std::string>>& GetLeftovers() const { return mLeftovers; }
    // Commit failed because a file of the download's name exists (with
    // NameClash::FreeName: every numbered name up to kMaxNameNumber too).
    bool IsNameTaken() const { return mNameTaken; }

    // Accounts one DIME record that starts a payload, whose header fields
    // took fieldBytes as sent; false (with rError set) when the record's
    // fields are too large or the reply carries too many such records.
    bool CountRecord(std::uint64_t fieldBytes, std::string& rError);
    // Accounts a chunk record that continues a payload and repeats header
    // fields of fieldBytes as sent; false (with rError set) when they are
    // too large.
    bool CountContinuation(std::uint64_t fieldBytes, std::string& rError);
    // Counts bytes of the reply's DIME records that carry no content, as
    // sent: record headers with their fields, and padding.
    void CountFraming(std::uint64_t bytes) { mFramingBytes += bytes; }
    std::uint64_t GetFramingBytes() const { return mFramingBytes; }
    // Where the last DIME record the callbacks followed ends in the reply:
    // the runtime's read position after its data and padding. Empty before
    // the first record's data is complete.
    std::optional<std::uint64_t> GetRecordEnd() const { return mRecordEnd; }
    void SetRecordEnd(std::uint64_t position) { mRecordEnd = position; }
    // Whether the reply's collection was taken; only one is stored per reply.
    bool HasCollection() const { return mCollectionTaken; }
    void TakeCollection() { mCollectionTaken = true; }
    // Where the collection's bytes are counted as they arrive; null (the
    // default) counts nothing. Not owned.
    void SetProgress(DownloadProgress* pProgress) { mpProgress = pProgress; }
    DownloadProgress* GetProgress() const { return mpProgress; }

private:
    struct Pending
    {
        std::string mTemporaryPath;
        std::string mFinalPath;
        std::string mError; // set by Fail
    };

    // Moves rFile into place under its name or, as mNameClash allows, a
    // numbered one; 0 with rPath set to the name used, or an errno value
    // with rNameTaken set when it means that rPath exists.
    int MoveIntoPlace(const Pending& rFile, std::string& rPath, bool& rNameTaken);
    // Records why rFile could not be stored as rPath (an errno value;
    // nameTaken: because rPath exists).
    void RecordFailure(const Pending& rFile, const std::string& rPath, int error, bool nameTaken);
    // Ends a failed commit: removes the temporary files and rMoved.
    bool Abandon(const std::vector<std::string>& rMoved);

    std::string mFolder;
    std::string mLookupKey;
    std::vector<Pending> mPending;
    std::vector<std::string> mCommitted;
    std::vector<std::pair<std::string, std::string>> mLeftovers;
    std::string mError;
    std::size_t mRecords = 0;
    std::uint64_t mFramingBytes = 0;
    std::optional<std::uint64_t> mRecordEnd;
    bool mCollectionTaken = false;
    DownloadProgress* mpProgress = nullptr;
    std::string mFailedPath; // the final path of the file that failed to commit
    std::string mFailedReason;
    bool mNameTaken = false;
    NameClash mNameClash = NameClash::Fail;
};

} // namespace joxwsstreaming
