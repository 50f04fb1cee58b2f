#include "joxmaintenance/CommandQueryMachineInformation.h"

#include "Utf8.h"
#include "joxmaintenanceServiceProxy.h"
#include <joxmaintenance/CommandType.h>

#include <memory>

namespace joxmaintenance {

CommandQueryMachineInformation::CommandQueryMachineInformation(const QString& rServerUrl)
    : Command(rServerUrl, ct_querymachinfo)
{
}

QString CommandQueryMachineInformation::GetDescription() const
{
    return QStringLiteral("QueryMachineInformation");
}

Command* CommandQueryMachineInformation::Clone() const
{
    return new CommandQueryMachineInformation(*this);
}

void CommandQueryMachineInformation::DoExecute()
{
    auto pResponse = std::make_shared<jox__ServiceFetchInformationResponse>();
    Execute(
        "joxmaintenance::CommandQueryMachineInformation::DoExecute",
        [pResponse](ServiceProxy& rProxy, const char* pEndpoint) {
            jox__ServiceFetchInformationRequest request;
            return rProxy.ServiceFetchInformation(pEndpoint, "", &request, *pResponse);
        },
        [this, pResponse](ServiceProxy&) {
            SetState(JoxCore::StateSucceeded);
            mServiceVersion = FromUtf8(pResponse->ServiceVersion);
            mSoftwareVersion = FromUtf8(pResponse->SoftwareVersion);
            mName = FromUtf8(pResponse->Name);
        });
}

} // namespace joxmaintenance
