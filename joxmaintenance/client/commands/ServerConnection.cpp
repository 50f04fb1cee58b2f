#include "joxmaintenance/ServerConnection.h"

#include "ReplyGuard.h"
#include "joxmaintenanceServiceProxy.h"

#include <joxwsstreaming/DimeCallbacks.h>

#include <boost/regex.hpp>

#include <sys/socket.h>

#include <mutex>
#include <stdexcept>

namespace joxmaintenance {

namespace {

std::mutex& TimeoutsMutex()
{
    static std::mutex mutex;
    return mutex;
}

ServiceClientTimeouts& Timeouts()
{
    static ServiceClientTimeouts timeouts;
    return timeouts;
}

const char* const kBuildWaitPlugin = "tandril-build-wait";

// What a context waiting for a collection build restores once its reply begins.
struct BuildWait
{
    size_t (*mpReceive)(struct soap*, char*, size_t);
    int mReceiveIdleSeconds;
};

void DeleteBuildWait(struct soap*, struct soap_plugin* pPlugin)
{
    delete static_cast<BuildWait*>(pPlugin->data);
}

int RegisterBuildWait(struct soap*, struct soap_plugin* pPlugin, void* pArgument)
{
    pPlugin->id = kBuildWaitPlugin;
    pPlugin->data = pArgument;
    pPlugin->fcopy = nullptr;
    pPlugin->fdelete = DeleteBuildWait;
    return SOAP_OK;
}

// The receive function during a build wait: the first bytes end the wait;
// the reply guard below it hands on none of an informational reply.
size_t ReceiveAfterBuild(struct soap* pSoap, char* pBuffer, size_t length)
{
    const auto* pWait = static_cast<const BuildWait*>(soap_lookup_plugin(pSoap, kBuildWaitPlugin));
    if (!pWait)
        return 0;
    const size_t received = pWait->mpReceive(pSoap, pBuffer, length);
    if (received > 0)
    {
        pSoap->recv_timeout = pWait->mReceiveIdleSeconds;
        pSoap->frecv = pWait->mpReceive;
    }
    return received;
}

void DestroyProxy(ServiceProxy* pProxy)
{
    if (!pProxy)
        return;
    pProxy->destroy();
    delete pProxy;
}

} // namespace

ServerConnection::ServerConnection(const QString& rUrl, const QString& rName, const QString& rSoftwareVersion,
                                   const QString& rServiceVersion)
    : mUrl(rUrl)
    , mName(rName)
    , mSoftwareVersion(rSoftwareVersion)
    , mServiceVersion(rServiceVersion)
{
    // A host of at least one digit: the runtime reads an empty one as
    // standard input and output, where a reply may never come.
    static const boost::regex urlPattern("(http|https):\\/\\/(\\d+\\.?)+:\\d{1,4}");
    const QByteArray latin1 = mUrl.toLatin1();
    if (!boost::regex_match(std::string(latin1.constData(), static_cast<std::size_t>(latin1.size())), urlPattern))
        throw std::runtime_error("Your URL is not formatted correctly!");
}

ServiceClientTimeouts GetServiceClientTimeouts()
{
    std::lock_guard<std::mutex> lock(TimeoutsMutex());
    return Timeouts();
}

void SetServiceClientTimeouts(const ServiceClientTimeouts& rTimeouts)
{
    std::lock_guard<std::mutex> lock(TimeoutsMutex());
    Timeouts() = rTimeouts;
}

boost::shared_ptr<ServiceProxy> CreateServiceClient()
{
    boost::shared_ptr<ServiceProxy> pProxy(new ServiceProxy(SOAP_IO_CHUNK | SOAP_C_UTFSTRING), &DestroyProxy);
    if (!pProxy || !pProxy->soap)
        throw std::runtime_error("could not create new client");
    struct soap* pSoap = pProxy->soap;
    const ServiceClientTimeouts timeouts = GetServiceClientTimeouts();
    pSoap->connect_timeout = timeouts.mConnectSeconds;
    pSoap->send_timeout = timeouts.mSendIdleSeconds;
    pSoap->recv_timeout = timeouts.mReceiveIdleSeconds;
    pSoap->transfer_timeout = 0;
    // The kernel sizes the receive buffer (a fixed size turns its tuning off).
    pSoap->rcvbuf = 0;
    pSoap->tcp_keep_alive = 1;
    pSoap->tcp_keep_idle = static_cast<unsigned int>(timeouts.mKeepAliveIdleSeconds);
    pSoap->tcp_keep_intvl = static_cast<unsigned int>(timeouts.mKeepAliveIntervalSeconds);
    pSoap->tcp_keep_cnt = static_cast<unsigned int>(timeouts.mKeepAliveProbes);
    // A peer that closes while a request is sent fails the call instead of
    // raising SIGPIPE, which would end the program.
    pSoap->socket_flags = MSG_NOSIGNAL;
    // A reply may not exhaust memory; the download callbacks credit the data
    // of the attachment they store to the limit, so collections may be of any
    // size.
    pSoap->recv_maxlength = kReplyLimitBytes;
    pSoap->fdimewriteopen = joxwsstreaming::CallbackDimeWriteOpen;
    pSoap->fdimewriteclose = joxwsstreaming::CallbackDimeWriteClose;
    pSoap->fdimewrite = joxwsstreaming::CallbackDimeWrite;
    if (TandrilPrepareServiceClient)
        TandrilPrepareServiceClient(pSoap);
    ReplyGuard::Install(pSoap, {kChunkLineLimitBytes, timeouts.mSpeedFloorBytesPerSecond, timeouts.mSpeedFloorSeconds});
    return pProxy;
}

void AwaitCollectionBuild(ServiceProxy& rProxy)
{
    struct soap* pSoap = rProxy.soap;
    if (soap_lookup_plugin(pSoap, kBuildWaitPlugin))
        return;
    auto* pWait = new BuildWait{pSoap->frecv, pSoap->recv_timeout};
    if (soap_register_plugin_arg(pSoap, RegisterBuildWait, pWait) != SOAP_OK)
    {
        delete pWait;
        throw std::runtime_error("could not prepare the client to wait for the collection");
    }
    pSoap->recv_timeout = GetServiceClientTimeouts().mBuildWaitSeconds;
    pSoap->frecv = ReceiveAfterBuild;
}

} // namespace joxmaintenance
