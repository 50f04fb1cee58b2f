#include "joxmaintenance/Command.h"

#include "Latin1.h"
#include "joxmaintenance/CommandType.h"
#include "joxmaintenance/ServerConnection.h"
#include "joxmaintenanceServiceProxy.h"

#include <joxlog/JoxLog.h>

#include <QUuid>

#include <boost/make_shared.hpp>

#include <exception>
#include <sstream>

namespace joxmaintenance {

Command::Command(const QString& rServerUrl, int commandType)
    : mpStatus(boost::make_shared<CommandStatus>(QUuid::createUuid().toString(), QString(), commandType, cs_pending))
    , mServerUrl(rServerUrl)
{
}

Command::~Command() = default;

boost::shared_ptr<void> Command::GetSharedObject() const
{
    return boost::shared_ptr<void>();
}

int Command::GetCommandType() const
{
    return mpStatus->GetCommandType();
}

void Command::Execute(const char* pFunction, const Exchange& rCall, const Success& rOnSuccess)
{
    SetState(JoxCore::StateRunning);
    try
    {
        boost::shared_ptr<ServiceProxy> pProxy = CreateServiceClient();
        const std::string endpoint = mServerUrl.toUtf8().toStdString();
        const int result = rCall(*pProxy, endpoint.c_str());
        if (result != SOAP_OK)
        {
            struct soap* pSoap = pProxy->soap;
            if (pSoap->recv_maxlength > 0 && pSoap->count > pSoap->recv_maxlength)
                soap_set_receiver_error(pSoap, "The reply exceeds the limit of 16 MiB",
                                        "a reply may carry at most 16 MiB besides its DIME attachments", result);
            std::ostringstream fault;
            pProxy->soap_stream_fault(fault);
            mMessageList.append(JoxCore::Message(JoxCore::MessageError, ToLatin1(GetDescription()), fault.str()));
            SetState(JoxCore::StateFailed);
            return;
        }
        rOnSuccess(*pProxy);
    }
    catch (const std::exception& rError)
    {
        const std::string message = std::string("Caught an exception.") + rError.what();
        JoxCore::Log(2, 0, "Maintenance", message.c_str(), __FILE__, __LINE__, pFunction);
        SetState(JoxCore::StateFailed);
    }
}

} // namespace joxmaintenance
