#pragma once

#include <functional>
#include <string>

namespace joxmaintenance {

class ServiceProxy;

// Runs rCall with the download callbacks writing into rFolder. When the call
// succeeds the downloaded files are moved into place (a failure to do so
// fails the call); when it fails they are removed, so an existing file of
// the same name is left untouched.
int Download(ServiceProxy& rProxy, const std::string& rFolder, const std::function<int()>& rCall);

} // namespace joxmaintenance
