// Feeds arbitrary datagrams through a discovery worker's receive path: the
// worker's own server configuration, the WS-Discovery dispatch, the event
// callbacks and an observer that reads every argument. Nothing is sent:
// the context reads from the input and its send hook drops everything.

#include "FuzzInput.h"

#include <joxwsdd/IWSDDClientObserver.h>
#include <joxwsdd/IWSDDProbeMatches.h>
#include <joxwsdd/WSDDClientThread.h>

#include <boost/make_shared.hpp>

#include <stdsoap2.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

size_t Touch(const char* pText)
{
    return pText != nullptr ? std::strlen(pText) : 0;
}

class TouchingObserver : public JoxWsdd::IWSDDClientObserver
{
public:
    void OnThreadStarted() override {}
    void OnThreadStopping() override {}
    void OnAutoProbe() override {}
    void OnHello(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                 unsigned int metadataVersion, const char* xAddrs) override
    {
        Announcement(endpoint, types, scopes, metadataVersion, xAddrs);
    }
    void OnBye(const char* endpoint, const std::list<std::string>& types, const char* scopes,
               unsigned int metadataVersion, const char* xAddrs) override
    {
        Announcement(endpoint, types, scopes, metadataVersion, xAddrs);
    }
    void OnResolveMatch(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                        unsigned int metadataVersion, const char* xAddrs) override
    {
        Announcement(endpoint, types, scopes, metadataVersion, xAddrs);
    }
    void OnProbeMatch(const JoxWsdd::IWSDDProbeMatches& matches, const char* messageId) override
    {
        mSum += Touch(messageId);
        for (size_t index = 0; index <= matches.GetMatchCount(); ++index)
        {
            JoxWsdd::IWSDDProbeMatches::ProbeMatch match;
            if (matches.GetMatch(index, match))
                mSum += Touch(match.endpoint) + Touch(match.types) + Touch(match.scopes) + Touch(match.matchBy)
                        + Touch(match.xAddrs) + match.metadataVersion;
        }
    }
    size_t mSum = 0;

private:
    void Announcement(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                      unsigned int metadataVersion, const char* xAddrs)
    {
        mSum += Touch(endpoint) + Touch(scopes) + Touch(xAddrs) + metadataVersion;
        for (const std::string& rType : types)
            mSum += rType.size();
    }
};

class FuzzWorker : public JoxWsdd::WSDDClientThread
{
public:
    FuzzWorker() : WSDDClientThread("127.0.0.1", 0, 3702) {}
    using WSDDClientThread::ConfigureSOAPServer;
};

struct Harness
{
    Harness() : mSocket(socket(AF_INET, SOCK_DGRAM, 0)), mpObserver(boost::make_shared<TouchingObserver>())
    {
        // A socket for gSOAP to treat as the bound master; it is never read.
        sockaddr_in address;
        std::memset(&address, 0, sizeof(address));
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(mSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        mWorker.AddObserver(mpObserver);
    }
    int mSocket;
    boost::shared_ptr<TouchingObserver> mpObserver;
    FuzzWorker mWorker;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t size)
{
    static Harness harness;
    struct soap* pSoap = soap_new();
    harness.mWorker.ConfigureSOAPServer(pSoap);
    pSoap->master = harness.mSocket;
    pSoap->frecv = fuzzinput::ReadInput;
    pSoap->fsend = fuzzinput::DropOutput;
    fuzzinput::SetInput(pData, size);
    harness.mWorker.ServeDatagram(pSoap, "fuzz");
    pSoap->master = SOAP_INVALID_SOCKET;
    pSoap->socket = SOAP_INVALID_SOCKET;
    soap_destroy(pSoap);
    soap_end(pSoap);
    soap_free(pSoap);
    return 0;
}
