#pragma once

#include <joxwsstreaming/DownloadTarget.h>

#include <functional>
#include <string>

namespace joxwsstreaming {
class DownloadProgress;
}

namespace joxmaintenance {

class ServiceProxy;
class xsd__base64Binary;

// A download that failed on this computer rather than on the server.
struct LocalDownloadFailure
{
    std::string mPath;       // the local file (final name) that could not be written or stored
    std::string mReason;     // the system's reason
    bool mNameTaken = false; // a file of that name (and of each numbered name tried) exists and was kept
};

// Runs rCall with the download callbacks writing into rFolder (a local path).
// The call succeeds only when the reply's file value (rpLogFile, read after
// the call) refers to a DIME attachment that was written completely; then
// the downloaded files are moved into place without replacing existing files
// (a failure to do so fails the call, unless clash lets a file of the same
// name make the download take a free numbered name). Otherwise they are
// removed, and an existing file of the same name is left untouched. When a
// local file could not be written or stored, rLocalFailure says which and
// why. pSavedPath, when given, receives the local path of the first file
// moved into place; pProgress, when given, counts the collection's bytes as
// they arrive.
int Download(ServiceProxy& rProxy, const std::string& rFolder, const std::function<int()>& rCall,
             xsd__base64Binary* const& rpLogFile, LocalDownloadFailure& rLocalFailure,
             std::string* pSavedPath = nullptr, joxwsstreaming::DownloadProgress* pProgress = nullptr,
             joxwsstreaming::DownloadTarget::NameClash clash = joxwsstreaming::DownloadTarget::NameClash::Fail);

} // namespace joxmaintenance
