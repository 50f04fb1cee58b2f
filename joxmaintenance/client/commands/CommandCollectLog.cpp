#include "joxmaintenance/CommandCollectLog.h"

#include "Utf8.h"
#include "joxmaintenance/ServerConnection.h"
#include "joxmaintenanceServiceProxy.h"
#include <joxmaintenance/CommandType.h>
#include <joxmaintenance/CommandStatusConversion.h>
#include <joxmaintenance/LogSources.h>

#include <memory>

namespace joxmaintenance {

CommandCollectLog::CommandCollectLog(const QString& rServerUrl, const LogEntryList& rEntries)
    : Command(rServerUrl, ct_collectlog)
    , mEntries(rEntries)
{
}

QString CommandCollectLog::GetDescription() const
{
    return QStringLiteral("Create log collection on server.");
}

Command* CommandCollectLog::Clone() const
{
    return new CommandCollectLog(*this);
}

void CommandCollectLog::DoExecute()
{
    Execute(
        "joxmaintenance::CommandCollectLog::DoExecute",
        [this](ServiceProxy& rProxy, const char* pEndpoint) {
            AwaitCollectionBuild(rProxy);
            jox__LogCreateCollectionRequest request;
            request.Sources = LogEntryList2SoapListPointer(rProxy.soap, mEntries);
            request.Status = CommandStatus2SoapPointer(rProxy.soap, mpStatus);
            jox__LogCreateCollectionResponse response;
            return rProxy.LogCreateCollection(pEndpoint, "", &request, response);
        },
        [this](ServiceProxy&) { SetState(JoxCore::StateSucceeded); });
}

} // namespace joxmaintenance
