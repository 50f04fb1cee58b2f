#include "Download.h"

#include "ReplyGuard.h"

#include "joxmaintenanceServiceProxy.h"

#include <joxlog/JoxLog.h>

#include <tuple>

namespace joxmaintenance {

namespace {

// The runtime keeps the fault texts by pointer: they are copied into the
// context. The code is the runtime's "no data", which no fault from the
// server gives, so the refusal reads as this program's.
int Refuse(ServiceProxy& rProxy, const char* pText, const std::string& rDetail = std::string())
{
    return soap_set_receiver_error(rProxy.soap, pText, rDetail.empty() ? nullptr : soap_strdup(rProxy.soap, rDetail.c_str()),
                                   SOAP_NO_DATA);
}

void TakeLocalFailure(const joxwsstreaming::DownloadTarget& rTarget, LocalDownloadFailure& rFailure)
{
    std::tie(rFailure.mPath, rFailure.mReason) = rTarget.GetFileFailure();
    rFailure.mNameTaken = rTarget.IsNameTaken();
}

} // namespace

int Download(ServiceProxy& rProxy, const std::string& rFolder, const std::function<int()>& rCall,
             xsd__base64Binary* const& rpLogFile, LocalDownloadFailure& rLocalFailure,
             std::string* pSavedPath, joxwsstreaming::DownloadProgress* pProgress,
             joxwsstreaming::DownloadTarget::NameClash clash)
{
    joxwsstreaming::DownloadTarget target(rFolder);
    target.SetProgress(pProgress);
    target.SetNameClash(clash);
    void* pPreviousUser = rProxy.soap->user;
    rProxy.soap->user = &target;
    ReplyGuard::Watch(rProxy.soap, &target);
    const int result = rCall();
    ReplyGuard::Watch(rProxy.soap, nullptr);
    rProxy.soap->user = pPreviousUser;
    if (result != SOAP_OK)
    {
        TakeLocalFailure(target, rLocalFailure);
        return result;
    }
    if (!rpLogFile || (!rpLogFile->id && rpLogFile->__size <= 0))
        return Refuse(rProxy, "The reply carried no collection file");
    if (!rpLogFile->id)
        return Refuse(rProxy, "The reply carried the collection inline instead of as a DIME attachment; it was not stored");
    if (target.GetPendingCount() == 0)
        return Refuse(rProxy, "The reply's collection file reached no download");
    const bool committed = target.Commit();
    for (const auto& [rPath, rReason] : target.GetLeftovers())
        JoxCore::Log(2, 0, "maintenance",
                     ("Could not remove \"" + rPath + "\", made while storing a downloaded collection: " + rReason).c_str(),
                     __FILE__, __LINE__, "joxmaintenance::Download");
    if (!committed)
    {
        TakeLocalFailure(target, rLocalFailure);
        return Refuse(rProxy, "Could not store the downloaded collection", target.GetError());
    }
    if (pSavedPath && !target.GetCommittedPaths().empty())
        *pSavedPath = target.GetCommittedPaths().front();
    return SOAP_OK;
}

} // namespace joxmaintenance
