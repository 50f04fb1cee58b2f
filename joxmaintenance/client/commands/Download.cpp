#include "Download.h"

#include "joxmaintenanceServiceProxy.h"

#include <joxwsstreaming/DownloadTarget.h>

namespace joxmaintenance {

int Download(ServiceProxy& rProxy, const std::string& rFolder, const std::function<int()>& rCall)
{
    joxwsstreaming::DownloadTarget target(rFolder);
    void* pPreviousUser = rProxy.soap->user;
    rProxy.soap->user = &target;
    const int result = rCall();
    rProxy.soap->user = pPreviousUser;
    if (result != SOAP_OK)
    {
        target.Discard();
        return result;
    }
    if (!target.Commit())
        // The runtime keeps the fault texts by pointer: they live in the context.
        return soap_set_receiver_error(rProxy.soap, "Could not store the downloaded collection",
                                       soap_strdup(rProxy.soap, target.GetError().c_str()), SOAP_FAULT);
    return SOAP_OK;
}

} // namespace joxmaintenance
