#include "joxmaintenance/CommandClearLogEntries.h"

#include "Utf8.h"
#include "joxmaintenanceServiceProxy.h"
#include <joxmaintenance/CommandType.h>

#include <memory>

namespace joxmaintenance {

CommandClearLogEntries::CommandClearLogEntries(const QString& rServerUrl)
    : Command(rServerUrl, ct_cleanlogs)
{
}

QString CommandClearLogEntries::GetDescription() const
{
    return QStringLiteral("Delete all gathered Maintenance log files.");
}

Command* CommandClearLogEntries::Clone() const
{
    return new CommandClearLogEntries(*this);
}

void CommandClearLogEntries::DoExecute()
{
    Execute(
        "joxmaintenance::CommandClearLogEntries::DoExecute",
        [](ServiceProxy& rProxy, const char* pEndpoint) {
            jox__LogDeleteAllCollectionsRequest request;
            jox__LogDeleteAllCollectionsResponse response;
            return rProxy.LogDeleteAllCollections(pEndpoint, "", &request, response);
        },
        [this](ServiceProxy&) { SetState(JoxCore::StateSucceeded); });
}

} // namespace joxmaintenance
