#pragma once

#include <functional>
#include <string>

namespace joxmaintenance {

class ServiceProxy;
class xsd__base64Binary;

// Runs rCall with the download callbacks writing into rFolder (a local path).
// The call succeeds only when the reply's file value (rpLogFile, read after
// the call) refers to a DIME attachment that was written completely; then
// the downloaded files are moved into place without replacing existing files
// (a failure to do so fails the call). Otherwise they are removed, and an
// existing file of the same name is left untouched. pSavedPath, when given,
// receives the local path of the first file moved into place.
int Download(ServiceProxy& rProxy, const std::string& rFolder, const std::function<int()>& rCall,
             xsd__base64Binary* const& rpLogFile, std::string* pSavedPath = nullptr);

} // namespace joxmaintenance
