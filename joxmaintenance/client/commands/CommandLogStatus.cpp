#include "joxmaintenance/CommandLogStatus.h"

#include "Utf8.h"
#include "joxmaintenanceServiceProxy.h"
#include <joxmaintenance/CommandType.h>
#include <joxmaintenance/CommandStatusConversion.h>
#include <joxmaintenance/LockedCommandStatusList.h>
#include <joxlog/JoxLog.h>
#include <boost/make_shared.hpp>

#include <memory>

namespace joxmaintenance {

CommandLogStatus::CommandLogStatus(const QString& rServerUrl)
    : Command(rServerUrl, ct_logstatus)
    , mpStatusList(boost::make_shared<CommandStatusList>())
{
}

QString CommandLogStatus::GetDescription() const
{
    return QStringLiteral("Fetch status of running requests from server.");
}

Command* CommandLogStatus::Clone() const
{
    return new CommandLogStatus(*this);
}

void CommandLogStatus::DoExecute()
{
    auto pResponse = std::make_shared<jox__LogStatusResponse>();
    Execute(
        "joxmaintenance::CommandLogStatus::DoExecute",
        [pResponse](ServiceProxy& rProxy, const char* pEndpoint) {
            jox__LogStatusRequest request;
            return rProxy.LogStatus(pEndpoint, "", &request, *pResponse);
        },
        [this, pResponse](ServiceProxy&) {
            if (pResponse->Status)
            {
                try
                {
                    SoapListPointer2CommandStatusList(LockForWrite(mpStatusList), pResponse->Status);
                }
                catch (const std::exception& rError)
                {
                    const std::string message = std::string("SoapListPointer2LogEntryList() Could not create log entry "
                                                            "list from soap. Error:\n ") +
                                                rError.what() + " \n. No Logs for you.";
                    JoxCore::Log(2, 0, "Maintenance", message.c_str(), __FILE__, __LINE__,
                                 "joxmaintenance::CommandLogStatus::DoExecute");
                }
            }
            SetState(JoxCore::StateSucceeded);
        });
}

} // namespace joxmaintenance
