#include "joxmaintenance/CommandDeleteLog.h"

#include "Utf8.h"
#include "joxmaintenanceServiceProxy.h"
#include <joxmaintenance/CommandType.h>

#include <memory>

namespace joxmaintenance {

CommandDeleteLog::CommandDeleteLog(const QString& rServerUrl, const QString& rCollectionName)
    : Command(rServerUrl, ct_deletelog)
    , mCollectionName(rCollectionName)
{
}

QString CommandDeleteLog::GetDescription() const
{
    return QStringLiteral("Delete stored log file");
}

Command* CommandDeleteLog::Clone() const
{
    return new CommandDeleteLog(*this);
}

void CommandDeleteLog::DoExecute()
{
    Execute(
        "joxmaintenance::CommandDeleteLog::DoExecute",
        [this](ServiceProxy& rProxy, const char* pEndpoint) {
            jox__LogDeleteCollectionRequest request;
            request.LogFileName = ToUtf8(mCollectionName);
            jox__LogDeleteCollectionResponse response;
            return rProxy.LogDeleteCollection(pEndpoint, "", &request, response);
        },
        [this](ServiceProxy&) { SetState(JoxCore::StateSucceeded); });
}

} // namespace joxmaintenance
