#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

struct soap;

namespace tandriltools {

// A WS-Discovery 1.1 target service for tests: it announces itself with Hello
// when started and Bye when stopped, and answers Probe and Resolve with
// ProbeMatches and ResolveMatches sent to the request's ReplyTo (or to the
// sender when there is none). Its process holds the global gSOAP unit of its
// own WS-Discovery bindings, so it cannot share a process with pelwick.
class WsddTarget
{
public:
    struct Settings
    {
        std::string mInterfaceIp = "127.0.0.1";  // interface of group membership and sending
        std::string mEndpoint;                   // EndpointReference address; a new urn:uuid when empty
        std::string mTypes = "tds:Device service_name__MAINTENANCE service_version__1.0 status_name__free";
        std::string mScopes;                     // none when empty
        std::string mXAddrs = "http://127.0.0.1:8080/maintenance";
        unsigned int mMetadataVersion = 1;
    };

    explicit WsddTarget(Settings settings);
    ~WsddTarget();
    WsddTarget(const WsddTarget&) = delete;
    WsddTarget& operator=(const WsddTarget&) = delete;

    // Binds the group socket, starts serving and sends Hello; false with
    // GetError() set when binding fails.
    bool Start();
    // Sends Bye and stops serving.
    void Stop();

    // Another Hello, for instance with changed types or endpoint.
    bool SendHello();
    bool SendHello(const std::string& rEndpoint, const std::string& rTypes);
    bool SendHello(const std::string& rEndpoint, const std::string& rTypes, const std::string& rXAddrs);
    bool SendBye(const std::string& rEndpoint, const std::string& rTypes);

    const Settings& GetSettings() const { return mSettings; }
    std::string GetError() const;
    unsigned int GetProbesAnswered() const { return mProbesAnswered; }
    unsigned int GetResolvesAnswered() const { return mResolvesAnswered; }

    // Called from the event callbacks on the serving thread.
    void HandleProbe(const char* pMessageId, const char* pReplyTo, const char* pTypes, const char* pPeer);
    void HandleResolve(const char* pMessageId, const char* pReplyTo, const char* pEndpoint, const char* pPeer);

    // A new "urn:uuid:" identifier from the system's random source.
    static std::string NewUuid();

private:
    void Serve();
    struct soap* NewSender();
    std::string ReplyEndpoint(const char* pReplyTo, const char* pPeer) const;

    Settings mSettings;
    struct soap* mpListener;
    std::mutex mSendLock;
    struct soap* mpSender;
    unsigned int mInterfaceAddress;
    std::thread mThread;
    std::atomic<bool> mStopping;
    std::atomic<unsigned int> mProbesAnswered;
    std::atomic<unsigned int> mResolvesAnswered;
    mutable std::mutex mErrorLock;
    std::string mError;
};

} // namespace tandriltools
