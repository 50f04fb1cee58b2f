#pragma once

#include <joxwsdd/IWSDDClientObserver.h>
#include <joxwsdd/WSDDBaseThread.h>

#include <boost/shared_ptr.hpp>
#include <boost/system/error_code.hpp>

#include <atomic>
#include <memory>
#include <vector>

namespace JoxWsdd {

class IWSDDProbeMatches;

// The discovery worker of one local address: sends Probe and Resolve through
// its own interface (replies come to its ReplyTo, its unicast socket) and
// hands everything it hears to its observers, in registration order.
class PELWICK_EXPORT WSDDClientThread : public WSDDBaseThread
{
public:
    WSDDClientThread(std::string ip, unsigned short unicastPort, unsigned short multicastPort);
    ~WSDDClientThread() override;

    // False for null or an observer already registered.
    bool AddObserver(const boost::shared_ptr<IWSDDClientObserver>& rObserver);
    // False for null or an observer not registered.
    bool RemoveObserver(const boost::shared_ptr<IWSDDClientObserver>& rObserver);

    // Calls OnAutoProbe of the observers every given seconds, on the worker
    // thread between two listen passes. Start and stop only record the wish;
    // the worker arms, cancels and fires its timer on its own thread.
    void StartAutoProbe(unsigned int seconds);
    void StopAutoProbe();
    bool IsAutoProbeActive() const { return mAutoProbeActive; }
    unsigned int GetAutoProbeInterval() const { return mAutoProbeInterval; }

    // One Probe datagram to the group; null arguments leave the element out.
    void SendProbe(const char* pTypes, const char* pScopes, const char* pMatchBy);
    // One Resolve datagram to the group for the endpoint address.
    void SendResolve(const char* pEndpoint);

    // "soap.udp://" + address + ":" + unicast port; empty until first started.
    std::string GetReplyTo() const;

    void NotifyHello(const char* pEndpoint, const char* pTypes, const char* pScopes,
                     unsigned int metadataVersion, const char* pXAddrs);
    void NotifyBye(const char* pEndpoint, const char* pTypes, const char* pScopes,
                   unsigned int metadataVersion, const char* pXAddrs);
    void NotifyResolveMatch(const char* pEndpoint, const char* pTypes, const char* pScopes,
                            unsigned int metadataVersion, const char* pXAddrs);
    void NotifyProbeMatches(const IWSDDProbeMatches& rMatches, const char* pMessageId);

protected:
    void OnThreadStarted() override;
    void OnThreadStopping() override;
    void Tick() override;

private:
    struct AutoProbeTimer;
    enum NotifyKind { NotifyKindHello, NotifyKindBye, NotifyKindResolveMatch };

    void Notify(NotifyKind kind, const char* pEndpoint, const char* pTypes, const char* pScopes,
                unsigned int metadataVersion, const char* pXAddrs);
    void AutoProbeTimerExpired(const boost::system::error_code& rError);
    // On the worker thread: arms or cancels the timer as last asked.
    void ApplyAutoProbeRequest();
    void SendRequest(bool bProbe, const char* pTypes, const char* pScopes, const char* pMatchBy,
                     const char* pEndpoint);

    std::string mReplyTo;
    mutable boost::mutex mObserverLock;
    std::vector<boost::shared_ptr<IWSDDClientObserver>> mObservers;
    std::atomic<unsigned int> mAutoProbeInterval;
    std::unique_ptr<AutoProbeTimer> mpAutoProbe;
    std::atomic<bool> mAutoProbeActive;
    std::atomic<unsigned int> mAutoProbeStarts;  // counts starts, so a stop and start between ticks re-arms
};

} // namespace JoxWsdd
