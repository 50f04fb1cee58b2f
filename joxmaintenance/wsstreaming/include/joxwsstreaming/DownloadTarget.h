#pragma once

#include <string>
#include <utility>
#include <vector>

namespace joxwsstreaming {

// Where the attachments of one call are written. The SOAP context's user-data
// pointer refers to it during the call. Each attachment goes to a temporary
// file in the folder; after the call the caller either commits (renames them
// to their names) or discards them, so a failed download never leaves a
// truncated file nor destroys an existing one.
class DownloadTarget
{
public:
    // rFolder: the folder the files land in; rLookupKey: the command status
    // in the process-wide list that the callbacks report progress to.
    explicit DownloadTarget(const std::string& rFolder, const std::string& rLookupKey = std::string());
    // Discards what was not committed.
    ~DownloadTarget();
    DownloadTarget(const DownloadTarget&) = delete;
    DownloadTarget& operator=(const DownloadTarget&) = delete;

    const std::string& GetFolder() const { return mFolder; }
    const std::string& GetLookupKey() const { return mLookupKey; }

    // The last path component of a name a server sent (after '/' or '\\');
    // empty when nothing usable is left ("", "." or "..").
    static std::string SafeFileName(const std::string& rName);
    // Registers a download of rFileName (already safe) and returns the
    // temporary path to write it to.
    std::string Begin(const std::string& rFileName);
    // Renames every download into place, replacing existing files; false
    // (with the failing path in GetError) when one could not be moved, in
    // which case the remaining temporary files are removed.
    bool Commit();
    // Removes the temporary files.
    void Discard();
    // The final paths of the committed downloads.
    const std::vector<std::string>& GetCommittedPaths() const { return mCommitted; }
    const std::string& GetError() const { return mError; }

private:
    std::string mFolder;
    std::string mLookupKey;
    std::vector<std::pair<std::string, std::string>> mPending; // temporary path, final path
    std::vector<std::string> mCommitted;
    std::string mError;
};

} // namespace joxwsstreaming
