#include "joxmaintenance/ServerConnection.h"

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
    static const boost::regex urlPattern("(http|https):\\/\\/(\\d+\\.?)*:\\d{1,4}");
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
    boost::shared_ptr<ServiceProxy> pProxy(new ServiceProxy(SOAP_IO_CHUNK), &DestroyProxy);
    if (!pProxy || !pProxy->soap)
        throw std::runtime_error("could not create new client");
    struct soap* pSoap = pProxy->soap;
    const ServiceClientTimeouts timeouts = GetServiceClientTimeouts();
    pSoap->connect_timeout = timeouts.mConnectSeconds;
    pSoap->send_timeout = timeouts.mSendIdleSeconds;
    pSoap->recv_timeout = timeouts.mReceiveIdleSeconds;
    pSoap->transfer_timeout = 0;
    // A peer that closes while a request is sent fails the call instead of
    // raising SIGPIPE, which would end the program.
    pSoap->socket_flags = MSG_NOSIGNAL;
    // A reply's XML may not exhaust memory; the download callbacks lift the
    // limit for an attachment they accept, so collections may be of any size.
    pSoap->recv_maxlength = kReplyLimitBytes;
    pSoap->fdimewriteopen = joxwsstreaming::CallbackDimeWriteOpen;
    pSoap->fdimewriteclose = joxwsstreaming::CallbackDimeWriteClose;
    pSoap->fdimewrite = joxwsstreaming::CallbackDimeWrite;
    if (TandrilPrepareServiceClient)
        TandrilPrepareServiceClient(pSoap);
    return pProxy;
}

} // namespace joxmaintenance
