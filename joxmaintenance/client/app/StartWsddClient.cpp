#include "StartWsddClient.h"

#include <clientview/ClientWebServiceRepository.h>
#include <joxlog/JoxLog.h>
#include <joxwsdd/IWSDDClientObserver.h>
#include <zephrane/LocalInterfaces.h>

#include <boost/shared_ptr.hpp>

#include <string>

namespace joxmaintenance {

namespace {

const unsigned short kMulticastPort = 3702;
const unsigned int kThreadStartWaitMs = 2000;

// Destroys the whole repository through its observer base.
struct RepositoryDeleter
{
    JoxWsdd::ClientWebServiceRepository* mpRepository;
    void operator()(JoxWsdd::IWSDDClientObserver*) const { delete mpRepository; }
};

} // namespace

std::vector<JoxWsdd::WSDDClient::ClientThreadParameter> DiscoveryThreadParameters()
{
    std::vector<JoxWsdd::WSDDClient::ClientThreadParameter> parameters;
    for (const zephrane::NetworkInterface& rInterface : zephrane::UsableNetworkInterfaces())
    {
        JoxWsdd::WSDDClient::ClientThreadParameter parameter;
        parameter.mIp = rInterface.mAddress.ToString();
        parameter.mUnicastPort = 0;
        parameter.mMulticastPort = kMulticastPort;
        parameters.push_back(parameter);
    }
    return parameters;
}

JoxWsdd::WSDDClient* startWSDDClient()
{
    JoxWsdd::WSDDClient* pClient = new JoxWsdd::WSDDClient(DiscoveryThreadParameters());
    JoxWsdd::ClientWebServiceRepository* pRepository = new JoxWsdd::ClientWebServiceRepository(pClient);
    boost::shared_ptr<JoxWsdd::IWSDDClientObserver> pObserver(
        static_cast<JoxWsdd::IWSDDClientObserver*>(pRepository), RepositoryDeleter{pRepository});
    pClient->AddObserver(pObserver);
    pClient->Start();
    if (!pClient->WaitForThreadRunning(kThreadStartWaitMs))
    {
        JoxCore::Log(0, 0, "WSDDClient", "Starting WSDD client with ip failed.", __FILE__, __LINE__, "startWSDDClient");
        if (pClient->HasError())
        {
            const std::string message = "Error WSDD Client." + pClient->GetErrorString();
            JoxCore::Log(3, 0, "WSDDClient", message.c_str(), __FILE__, __LINE__, "startWSDDClient");
        }
        pObserver.reset();
        delete pClient;
        return nullptr;
    }
    pObserver.reset();
    return pClient;
}

} // namespace joxmaintenance
