#pragma once

#include <joxwsdd/WebServiceRepositoryWithFilter.h>

namespace JoxWsdd {

class WSDDClient;

// The program's repository: the observer the discovery threads call. It asks
// for the service kinds the program lists and refreshes discovery on the
// automatic-probe tick. The first one built is the process-wide repository
// (GetInstance) until it is destroyed.
class ClientWebServiceRepository : public WebServiceRepositoryWithFilter
{
public:
    // The client is not owned; null throws std::invalid_argument.
    explicit ClientWebServiceRepository(WSDDClient* pClient);
    ~ClientWebServiceRepository() override;

    // The process-wide repository; null before the first one and after its end.
    static ClientWebServiceRepository* GetInstance();

    void OnThreadStarted() override;
    void OnThreadStopping() override;
    // Runs RefreshServices on the calling discovery thread.
    void OnAutoProbe() override;
};

} // namespace JoxWsdd
