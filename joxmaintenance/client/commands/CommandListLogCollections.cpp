#include "joxmaintenance/CommandListLogCollections.h"

#include "Utf8.h"
#include "joxmaintenanceServiceProxy.h"
#include <joxmaintenance/CommandType.h>

#include <memory>

namespace joxmaintenance {

CommandListLogCollections::CommandListLogCollections(const QString& rServerUrl)
    : Command(rServerUrl, ct_listcollections)
{
}

QString CommandListLogCollections::GetDescription() const
{
    return QStringLiteral("ListLogCollections");
}

Command* CommandListLogCollections::Clone() const
{
    return new CommandListLogCollections(*this);
}

void CommandListLogCollections::DoExecute()
{
    auto pResponse = std::make_shared<jox__LogListCollectionsResponse>();
    Execute(
        "joxmaintenance::CommandListLogCollections::DoExecute",
        [pResponse](ServiceProxy& rProxy, const char* pEndpoint) {
            jox__LogListCollectionsRequest request;
            return rProxy.LogListCollections(pEndpoint, "", &request, *pResponse);
        },
        [this, pResponse](ServiceProxy&) {
            SetState(JoxCore::StateSucceeded);
            for (const std::string& rName : pResponse->LogCollection)
                mCollections.append(FromUtf8(rName));
        });
}

} // namespace joxmaintenance
