#include "joxmaintenance/CommandListAvailableLogs.h"

#include "Utf8.h"
#include "joxmaintenanceServiceProxy.h"
#include <joxmaintenance/CommandType.h>
#include <joxmaintenance/LogSources.h>

#include <memory>

namespace joxmaintenance {

CommandListAvailableLogs::CommandListAvailableLogs(const QString& rServerUrl)
    : Command(rServerUrl, ct_listlogfiles)
{
}

QString CommandListAvailableLogs::GetDescription() const
{
    return QStringLiteral("ListAvailableLogs");
}

Command* CommandListAvailableLogs::Clone() const
{
    return new CommandListAvailableLogs(*this);
}

void CommandListAvailableLogs::DoExecute()
{
    auto pResponse = std::make_shared<jox__LogListResponse>();
    Execute(
        "joxmaintenance::CommandListAvailableLogs::DoExecute",
        [pResponse](ServiceProxy& rProxy, const char* pEndpoint) {
            jox__LogListRequest request;
            return rProxy.LogList(pEndpoint, "", &request, *pResponse);
        },
        [this, pResponse](ServiceProxy&) {
            SetState(JoxCore::StateSucceeded);
            SoapListPointer2LogEntryList(pResponse->Sources, mEntries);
        });
}

} // namespace joxmaintenance
