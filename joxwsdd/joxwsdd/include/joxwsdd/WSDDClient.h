#pragma once

#include <joxwsdd/PelwickExport.h>

#include <boost/shared_ptr.hpp>

#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace JoxWsdd {

class IWSDDClientObserver;
class WSDDClientThread;

// The discovery client: one worker thread per local address. Every operation
// visits the workers in order; copies share the same workers.
class PELWICK_EXPORT WSDDClient
{
public:
    struct ClientThreadParameter
    {
        std::string mIp;                   // local IPv4 address, dotted
        unsigned short mUnicastPort = 0;   // 0: a free port, kept afterwards
        unsigned short mMulticastPort = 3702; // destination port of Probe and Resolve
    };

    explicit WSDDClient(std::vector<ClientThreadParameter> parameters);
    WSDDClient(std::string ip, unsigned short unicastPort, unsigned short multicastPort);
    // Stops every worker.
    ~WSDDClient();
    WSDDClient(const WSDDClient& rOther);
    WSDDClient& operator=(const WSDDClient& rOther);

    // True only when every worker succeeded (also without workers).
    bool Start();
    bool Stop();
    // Waits for the workers one after the other, each up to the given time.
    bool WaitForThreadRunning(unsigned int milliseconds);
    bool AddObserver(const boost::shared_ptr<IWSDDClientObserver>& rObserver);
    bool RemoveObserver(const boost::shared_ptr<IWSDDClientObserver>& rObserver);

    // Sent once by every worker, through its own interface.
    void SendProbe(const char* pTypes, const char* pScopes, const char* pMatchBy);
    void SendResolve(const char* pEndpoint);

    bool HasError() const;
    // Each worker's last error followed by "\n".
    std::string GetErrorString() const;
    QStringList GetThreadListenIps() const;

    // Stops the running workers whose address is listed and starts the
    // stopped ones that are not, waiting (bounded) until each listens: -1
    // when all were already as wanted, 1 when a start or stop failed, else 0.
    int MuteIps(const std::vector<std::string>& rIps);

    // These take effect when a worker next starts.
    void SetIOTimeout(int timeout);
    void SetListenTimeout(int timeout);
    void SetMaxKeepAliveCalls(unsigned int calls);
    void SetSoapLoggingEnabled(bool enabled);
    // The first worker's value; 0, 0 and 5 without workers.
    int GetIOTimeout() const;
    int GetListenTimeout() const;
    unsigned int GetMaxKeepAliveCalls() const;
    bool HasIOTimeout() const;
    bool IsKeepAliveEnabled() const;
    bool IsSoapLoggingEnabled() const;
    bool IsRunning() const;
    bool IsAutoProbeActive() const;
    void StartAutoProbe(unsigned int seconds);
    void StopAutoProbe();

private:
    void InitThreads(const std::vector<ClientThreadParameter>& rParameters);

    std::vector<std::shared_ptr<WSDDClientThread>> mThreads;
};

} // namespace JoxWsdd
