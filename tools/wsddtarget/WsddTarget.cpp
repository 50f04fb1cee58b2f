#include "WsddTarget.h"

#include "wsddH.h"
#include "wsddapi.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <sstream>

extern SOAP_NMAC struct Namespace namespaces[];

namespace tandriltools {

namespace {

const char* const cGroupEndpoint = "soap.udp://239.255.255.250:3702";
const int cMode = SOAP_IO_UDP | SOAP_ENC_XML | SOAP_C_MBSTRING;

std::set<std::string> Words(const char* pText)
{
    std::set<std::string> words;
    std::istringstream stream(pText != nullptr ? pText : "");
    std::string word;
    while (stream >> word)
        words.insert(word);
    return words;
}

// The local part of a QName: prefixes differ between peers.
std::string LocalPart(const std::string& rQName)
{
    const std::string::size_type colon = rQName.find(':');
    return colon == std::string::npos ? rQName : rQName.substr(colon + 1);
}

} // namespace

WsddTarget::WsddTarget(Settings settings)
    : mSettings(std::move(settings)),
      mpListener(nullptr),
      mpSender(nullptr),
      mInterfaceAddress(INADDR_ANY),
      mStopping(false),
      mProbesAnswered(0),
      mResolvesAnswered(0)
{
    if (mSettings.mEndpoint.empty())
        mSettings.mEndpoint = NewUuid();
    in_addr address;
    if (inet_pton(AF_INET, mSettings.mInterfaceIp.c_str(), &address) == 1)
        mInterfaceAddress = address.s_addr;
}

WsddTarget::~WsddTarget()
{
    Stop();
}

std::string WsddTarget::NewUuid()
{
    static std::mutex lock;
    static std::mt19937_64 generator{std::random_device{}() ^ (static_cast<std::uint64_t>(std::random_device{}()) << 32)};
    std::lock_guard<std::mutex> guard(lock);
    const std::uint64_t high = generator();
    const std::uint64_t low = generator();
    char text[64];
    std::snprintf(text, sizeof(text), "urn:uuid:%8.8x-%4.4x-4%3.3x-%4.4x-%4.4x%8.8x",
                  static_cast<unsigned int>(high >> 32), static_cast<unsigned int>((high >> 16) & 0xFFFF),
                  static_cast<unsigned int>(high & 0x0FFF),
                  static_cast<unsigned int>(((low >> 48) & 0x3FFF) | 0x8000),
                  static_cast<unsigned int>((low >> 32) & 0xFFFF), static_cast<unsigned int>(low & 0xFFFFFFFF));
    return text;
}

std::string WsddTarget::GetError() const
{
    std::lock_guard<std::mutex> guard(mErrorLock);
    return mError;
}

struct soap* WsddTarget::NewSender()
{
    struct soap* pSender = soap_new2(cMode, cMode);
    pSender->connect_flags = SO_BROADCAST;
    pSender->version = 1;
    pSender->ipv4_multicast_if = reinterpret_cast<char*>(&mInterfaceAddress);
    soap_set_namespaces(pSender, namespaces);
    return pSender;
}

bool WsddTarget::Start()
{
    if (mpListener != nullptr)
        return false;
    mpListener = soap_new2(cMode | SOAP_XML_IGNORENS, cMode);
    soap_set_namespaces(mpListener, namespaces);
    mpListener->user = this;
    mpListener->bind_flags = SO_REUSEADDR;
    if (!soap_valid_socket(soap_bind(mpListener, "0.0.0.0", 3702, 100)))
    {
        std::ostringstream text;
        soap_stream_fault(mpListener, text);
        std::lock_guard<std::mutex> guard(mErrorLock);
        mError = "bind failed: " + text.str();
        return false;
    }
    const int all = 0;
    setsockopt(mpListener->master, IPPROTO_IP, IP_MULTICAST_ALL, &all, sizeof(all));
    ip_mreq request;
    std::memset(&request, 0, sizeof(request));
    request.imr_interface.s_addr = mInterfaceAddress;
    request.imr_multiaddr.s_addr = inet_addr("239.255.255.250");
    if (setsockopt(mpListener->master, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof(request)) != 0)
    {
        std::lock_guard<std::mutex> guard(mErrorLock);
        mError = std::string("joining the group failed: ") + std::strerror(errno);
        return false;
    }
    mpSender = NewSender();
    mStopping = false;
    mThread = std::thread(&WsddTarget::Serve, this);
    return SendHello();
}

void WsddTarget::Stop()
{
    if (mpListener == nullptr)
        return;
    if (mThread.joinable())
    {
        SendBye(mSettings.mEndpoint, mSettings.mTypes);
        mStopping = true;
        mThread.join();
    }
    soap_destroy(mpListener);
    soap_end(mpListener);
    soap_free(mpListener);
    mpListener = nullptr;
    std::lock_guard<std::mutex> guard(mSendLock);
    if (mpSender != nullptr)
    {
        soap_destroy(mpSender);
        soap_end(mpSender);
        soap_free(mpSender);
        mpSender = nullptr;
    }
}

void WsddTarget::Serve()
{
    while (!mStopping)
        soap_wsdd_listen(mpListener, -20000);
}

bool WsddTarget::SendHello()
{
    return SendHello(mSettings.mEndpoint, mSettings.mTypes);
}

bool WsddTarget::SendHello(const std::string& rEndpoint, const std::string& rTypes)
{
    return SendHello(rEndpoint, rTypes, mSettings.mXAddrs);
}

bool WsddTarget::SendHello(const std::string& rEndpoint, const std::string& rTypes, const std::string& rXAddrs)
{
    std::lock_guard<std::mutex> guard(mSendLock);
    if (mpSender == nullptr)
        return false;
    const std::string id = NewUuid();
    const int result = soap_wsdd_Hello(mpSender, SOAP_WSDD_ADHOC, cGroupEndpoint, id.c_str(), nullptr,
        rEndpoint.c_str(), rTypes.empty() ? nullptr : rTypes.c_str(),
        mSettings.mScopes.empty() ? nullptr : mSettings.mScopes.c_str(), nullptr,
        rXAddrs.empty() ? nullptr : rXAddrs.c_str(), mSettings.mMetadataVersion);
    soap_destroy(mpSender);
    soap_end(mpSender);
    return result == SOAP_OK;
}

bool WsddTarget::SendBye(const std::string& rEndpoint, const std::string& rTypes)
{
    std::lock_guard<std::mutex> guard(mSendLock);
    if (mpSender == nullptr)
        return false;
    const std::string id = NewUuid();
    const int result = soap_wsdd_Bye(mpSender, SOAP_WSDD_ADHOC, cGroupEndpoint, id.c_str(), rEndpoint.c_str(),
        rTypes.empty() ? nullptr : rTypes.c_str(), mSettings.mScopes.empty() ? nullptr : mSettings.mScopes.c_str(),
        nullptr, mSettings.mXAddrs.empty() ? nullptr : mSettings.mXAddrs.c_str(), mSettings.mMetadataVersion);
    soap_destroy(mpSender);
    soap_end(mpSender);
    return result == SOAP_OK;
}

std::string WsddTarget::ReplyEndpoint(const char* pReplyTo, const char* pPeer) const
{
    if (pReplyTo != nullptr && std::strncmp(pReplyTo, "soap.udp://", 11) == 0)
        return pReplyTo;
    return pPeer != nullptr ? pPeer : std::string();
}

void WsddTarget::HandleProbe(const char* pMessageId, const char* pReplyTo, const char* pTypes, const char* pPeer)
{
    // Matches when every requested type is among ours (compared without prefixes).
    std::set<std::string> ours;
    for (const std::string& rType : Words(mSettings.mTypes.c_str()))
        ours.insert(LocalPart(rType));
    for (const std::string& rWanted : Words(pTypes))
    {
        if (ours.count(LocalPart(rWanted)) == 0)
            return;
    }
    const std::string endpoint = ReplyEndpoint(pReplyTo, pPeer);
    if (endpoint.empty())
        return;
    std::lock_guard<std::mutex> guard(mSendLock);
    if (mpSender == nullptr)
        return;
    wsdd__ProbeMatchesType matches;
    soap_wsdd_init_ProbeMatches(mpSender, &matches);
    soap_wsdd_add_ProbeMatch(mpSender, &matches, mSettings.mEndpoint.c_str(),
        mSettings.mTypes.empty() ? nullptr : mSettings.mTypes.c_str(),
        mSettings.mScopes.empty() ? nullptr : mSettings.mScopes.c_str(), nullptr,
        mSettings.mXAddrs.empty() ? nullptr : mSettings.mXAddrs.c_str(), mSettings.mMetadataVersion);
    const std::string id = NewUuid();
    if (soap_wsdd_ProbeMatches(mpSender, endpoint.c_str(), id.c_str(), pMessageId, nullptr, &matches) == SOAP_OK)
        ++mProbesAnswered;
    soap_destroy(mpSender);
    soap_end(mpSender);
}

void WsddTarget::HandleResolve(const char* pMessageId, const char* pReplyTo, const char* pEndpoint,
                               const char* pPeer)
{
    if (pEndpoint == nullptr || mSettings.mEndpoint != pEndpoint)
        return;
    const std::string endpoint = ReplyEndpoint(pReplyTo, pPeer);
    if (endpoint.empty())
        return;
    std::lock_guard<std::mutex> guard(mSendLock);
    if (mpSender == nullptr)
        return;
    const std::string id = NewUuid();
    if (soap_wsdd_ResolveMatches(mpSender, endpoint.c_str(), id.c_str(), pMessageId, nullptr,
            mSettings.mEndpoint.c_str(), mSettings.mTypes.empty() ? nullptr : mSettings.mTypes.c_str(),
            mSettings.mScopes.empty() ? nullptr : mSettings.mScopes.c_str(), nullptr,
            mSettings.mXAddrs.empty() ? nullptr : mSettings.mXAddrs.c_str(), mSettings.mMetadataVersion)
        == SOAP_OK)
        ++mResolvesAnswered;
    soap_destroy(mpSender);
    soap_end(mpSender);
}

} // namespace tandriltools

// The plugin's event callbacks for this process: answer Probe and Resolve,
// ignore announcements of others.

namespace {

tandriltools::WsddTarget* TargetOf(struct soap* pSoap)
{
    return pSoap != nullptr ? static_cast<tandriltools::WsddTarget*>(pSoap->user) : nullptr;
}

std::string PeerEndpoint(struct soap* pSoap)
{
    char host[INET6_ADDRSTRLEN] = {0};
    const sockaddr* pPeer = reinterpret_cast<const sockaddr*>(&pSoap->peer);
    unsigned short port = 0;
    if (pPeer->sa_family == AF_INET)
    {
        const sockaddr_in* pIn = reinterpret_cast<const sockaddr_in*>(pPeer);
        inet_ntop(AF_INET, &pIn->sin_addr, host, sizeof(host));
        port = ntohs(pIn->sin_port);
    }
    else
    {
        return std::string();
    }
    return std::string("soap.udp://") + host + ":" + std::to_string(port);
}

} // namespace

void wsdd_event_Hello(struct soap*, unsigned int, const char*, unsigned int, const char*, const char*, const char*,
                      const char*, const char*, const char*, const char*, unsigned int)
{
}

void wsdd_event_Bye(struct soap*, unsigned int, const char*, unsigned int, const char*, const char*, const char*,
                    const char*, const char*, const char*, const char*, unsigned int*)
{
}

soap_wsdd_mode wsdd_event_Probe(struct soap* pSoap, const char* MessageID, const char* ReplyTo, const char* Types,
                                const char*, const char*, struct wsdd__ProbeMatchesType*)
{
    if (tandriltools::WsddTarget* pTarget = TargetOf(pSoap))
        pTarget->HandleProbe(MessageID, ReplyTo, Types, PeerEndpoint(pSoap).c_str());
    return SOAP_WSDD_ADHOC;
}

void wsdd_event_ProbeMatches(struct soap*, unsigned int, const char*, unsigned int, const char*, const char*,
                             struct wsdd__ProbeMatchesType*)
{
}

soap_wsdd_mode wsdd_event_Resolve(struct soap* pSoap, const char* MessageID, const char* ReplyTo,
                                  const char* EndpointReference, struct wsdd__ResolveMatchType*)
{
    if (tandriltools::WsddTarget* pTarget = TargetOf(pSoap))
        pTarget->HandleResolve(MessageID, ReplyTo, EndpointReference, PeerEndpoint(pSoap).c_str());
    return SOAP_WSDD_ADHOC;
}

void wsdd_event_ResolveMatches(struct soap*, unsigned int, const char*, unsigned int, const char*, const char*,
                               struct wsdd__ResolveMatchType*)
{
}
