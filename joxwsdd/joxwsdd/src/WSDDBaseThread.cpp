#include <joxwsdd/WSDDBaseThread.h>

#include "logging_joxcore.h"
#include "wsddH.h"
#include "wsddapi.h"

#include <joxlog/JoxLog.h>

#include <boost/format.hpp>

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <cstring>
#include <exception>
#include <iostream>
#include <sstream>

extern SOAP_NMAC struct Namespace namespaces[];

namespace JoxWsdd {

const char* const WSDDBaseThread::mpMulticastAddress = "239.255.255.250";

namespace {

const int cSenderMode = SOAP_IO_UDP | SOAP_ENC_XML | SOAP_C_MBSTRING;
const int cServerMode = SOAP_IO_UDP | SOAP_ENC_XML | SOAP_XML_IGNORENS | SOAP_C_MBSTRING;
const int cServerInputExtra = SOAP_C_MBSTRING | SOAP_XML_STRICT;
const int cServerOutputExtra = SOAP_C_MBSTRING | SOAP_XML_CANONICAL | SOAP_XML_STRICT | SOAP_IO_STORE;
const char* const cAllIpv4 = "0.0.0.0";
const unsigned int cWaitStepMs = 25;
// Room for bursts of announcements while an observer call holds the worker.
const int cMulticastReceiveBuffer = 4 * 1024 * 1024;

#define WSDD_LOG(level, subtype, category, message) \
    JoxCore::Log(level, subtype, category, message, __FILE__, __LINE__, __func__)

// A gSOAP timeout (positive seconds, negative microseconds) in milliseconds;
// "none" and anything shorter than 1 ms poll in 1 ms, an endless wait is
// bounded so that Stop is always heard.
int TimeoutToMilliseconds(int timeout)
{
    const int cNoneMs = 50;
    if (timeout == 0)
        return cNoneMs;
    if (timeout > 0)
        return timeout > 86400 ? 86400000 : timeout * 1000;
    const int milliseconds = -(timeout / 1000);
    return milliseconds < 1 ? 1 : milliseconds;
}

void ReleaseContext(struct soap* pSoap)
{
    if (pSoap == nullptr)
        return;
    soap_destroy(pSoap);
    soap_end(pSoap);
    soap_free(pSoap);
}

} // namespace

WSDDBaseThread::WSDDBaseThread(std::string ip, bool unicast, unsigned short unicastPort,
                               unsigned short multicastPort)
    : mIp(std::move(ip)),
      mUnicastPort(unicastPort),
      mMulticastPort(multicastPort),
      mpSender(nullptr),
      mMaxKeepAliveCalls(5),
      mIOTimeout(0),
      mListenTimeout(-100000),
      mSoapLogging(false),
      mRunning(false),
      mUnicast(unicast),
      mServeTimeout(-100000),
      mThreadActive(false),
      mStopRequested(false)
{
    mInterfaceAddress.s_addr = INADDR_ANY;
    mMulticastEndpoint = CreateSoapUdpEndpoint(mpMulticastAddress, mMulticastPort);
    CreateSender();
}

WSDDBaseThread::~WSDDBaseThread()
{
    StopBeforeDestruction();
    boost::mutex::scoped_lock lock(mSenderLock);
    ReleaseContext(mpSender);
    mpSender = nullptr;
}

void WSDDBaseThread::StopBeforeDestruction()
{
    if (mRunning || mThreadActive)
    {
        try
        {
            Stop();
        }
        catch (...)
        {
            WSDD_LOG(1, 0, "WSDDBaseThread::~WSDDBaseThread()", "Unable to stop thread! Detaching.");
            mThread.detach();
        }
    }
    if (mThread.joinable())
    {
        // A thread that ended on a bind failure has nothing left to run.
        mThread.interrupt();
        mThread.join();
    }
}

void WSDDBaseThread::CreateSender()
{
    boost::mutex::scoped_lock lock(mSenderLock);
    if (mpSender != nullptr)
        return;
    mpSender = soap_new2(cSenderMode, cSenderMode);
    if (mpSender == nullptr)
        return;
    mpSender->send_timeout = mIOTimeout;
    mpSender->connect_flags = SO_BROADCAST;
    mpSender->bind_flags = SO_REUSEADDR;
    mpSender->version = 1;
    soap_set_namespaces(mpSender, namespaces);

    mInterfaceAddress.s_addr = INADDR_ANY;
    if (!mIp.empty())
        GetIPAddressFromString(mIp.c_str(), &mInterfaceAddress);
    char text[INET_ADDRSTRLEN] = {0};
    inet_ntop(AF_INET, &mInterfaceAddress, text, sizeof(text));
    WSDD_LOG(3, static_cast<int>(mInterfaceAddress.s_addr), "WSDDBaseThread : CreateSender",
             (std::string("multicast_if ") + text).c_str());
    mpSender->ipv4_multicast_if = reinterpret_cast<char*>(&mInterfaceAddress);
}

std::string WSDDBaseThread::CreateSoapUdpEndpoint(const char* pHost, unsigned short port)
{
    if (pHost == nullptr)
        return std::string();
    return std::string("soap.udp://") + pHost + ":" + std::to_string(port);
}

bool WSDDBaseThread::GetIPAddressFromString(const char* pHost, in_addr* pOut)
{
    if (pHost == nullptr || pOut == nullptr)
        return false;
    addrinfo hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_family = AF_INET;
    addrinfo* pResult = nullptr;
    const int result = getaddrinfo(pHost, nullptr, &hints, &pResult);
    if (result != 0 || pResult == nullptr)
    {
        WSDD_LOG(3, result, "WSDDBaseThread : GetIPAddressFromString",
                 (std::string("Failed to get address ") + pHost).c_str());
        return false;
    }
    *pOut = reinterpret_cast<const sockaddr_in*>(pResult->ai_addr)->sin_addr;
    freeaddrinfo(pResult);
    return true;
}

std::string WSDDBaseThread::FormatSoapError(struct soap* pSoap)
{
    if (pSoap == nullptr)
        return std::string();
    std::ostringstream stream;
    soap_stream_fault(pSoap, stream);
    return stream.str();
}

unsigned short WSDDBaseThread::GetUnicastPort() const
{
    boost::mutex::scoped_lock lock(mSenderLock);
    return mUnicastPort;
}

std::string WSDDBaseThread::GetErrorString() const
{
    boost::mutex::scoped_lock lock(mStateLock);
    return mLastError;
}

void WSDDBaseThread::OnThreadStarted()
{
}

void WSDDBaseThread::OnThreadStopping()
{
}

void WSDDBaseThread::Tick()
{
}

void WSDDBaseThread::OnError(const std::string& rText)
{
    boost::mutex::scoped_lock lock(mStateLock);
    mLastError = rText;
}

bool WSDDBaseThread::Start()
{
    // A thread that is still binding counts as running: a second thread
    // would replace it while it still runs.
    if (mRunning || mThreadActive)
        return false;
    try
    {
        if (mThread.joinable())
        {
            // The previous thread ended on its own (a bind failure).
            mThread.interrupt();
            mThread.join();
        }
        {
            boost::mutex::scoped_lock lock(mLifeLock);
            mStopRequested = false;
        }
        mThreadActive = true;
        boost::thread thread(&WSDDBaseThread::ThreadFunction, this);
        const bool bStarted = thread.get_id() != boost::thread::id();
        mThread = std::move(thread);
        return bStarted;
    }
    catch (...)
    {
        mThreadActive = false;
        return false;
    }
}

bool WSDDBaseThread::Stop()
{
    bool bWasRunning = false;
    bool bActive = false;
    {
        // A thread still binding checks this flag before it reports started.
        boost::mutex::scoped_lock lock(mLifeLock);
        mStopRequested = true;
        bWasRunning = mRunning;
        bActive = bWasRunning || mThreadActive;
    }
    bool bResult = false;
    if (bActive)
    {
        try
        {
            if (bWasRunning)
                OnThreadStopping();
            mThread.interrupt();
            mThread.join();
            bResult = true;
        }
        catch (...)
        {
            bResult = false;
        }
    }
    mRunning = false;
    return bResult;
}

bool WSDDBaseThread::ReportStarted()
{
    boost::mutex::scoped_lock lock(mLifeLock);
    if (mStopRequested)
        return false;
    mRunning = true;
    OnThreadStarted();
    return true;
}

bool WSDDBaseThread::WaitForThreadRunning(unsigned int milliseconds)
{
    unsigned int waited = 0;
    while (!mRunning)
    {
        if (!GetErrorString().empty() || waited >= milliseconds)
            break;
        boost::this_thread::sleep(boost::posix_time::milliseconds(cWaitStepMs));
        waited += cWaitStepMs;
    }
    return mRunning;
}

void WSDDBaseThread::ThreadFunction()
{
    {
        boost::mutex::scoped_lock lock(mStateLock);
        mLastError.clear();
    }
    struct soap* pMulticast = soap_new();
    struct soap* pUnicast = soap_new();
    try
    {
        ConfigureSOAPServer(pMulticast);
        if (mUnicast)
            ConfigureSOAPServer(pUnicast);
        boost::this_thread::interruption_point();
        RunSOAPServer(pMulticast, pUnicast);
    }
    catch (const boost::thread_interrupted&)
    {
    }
    catch (const std::exception& rException)
    {
        WSDD_LOG(1, 0, "WSDDBaseThread : ThreadFunction",
                 (std::string("Thread stopped; caught exception '") + rException.what() + "'").c_str());
    }
    catch (...)
    {
        WSDD_LOG(1, 0, "WSDDBaseThread : ThreadFunction", "Thread stopped; caught unknown exception");
    }
    ReleaseContext(pMulticast);
    ReleaseContext(pUnicast);
    mThreadActive = false;
}

void WSDDBaseThread::ConfigureSOAPServer(struct soap* pSoap)
{
    const char* const pCategory = "WSDDBaseThread : ConfigureSOAPServer";
    if (pSoap == nullptr)
    {
        WSDD_LOG(1, 0, pCategory, "pSoap == 0");
        return;
    }
    soap_imode(pSoap, cServerMode);
    soap_omode(pSoap, cServerMode);
    pSoap->user = this;
    pSoap->accept_timeout = mListenTimeout;
    soap_set_namespaces(pSoap, namespaces);
    if (mMaxKeepAliveCalls != 0)
    {
        pSoap->max_keep_alive = static_cast<short>(mMaxKeepAliveCalls);
        WSDD_LOG(5, static_cast<int>(mMaxKeepAliveCalls), pCategory, "SOAP server config: max keep alive");
    }
    if (mIOTimeout != 0)
    {
        pSoap->recv_timeout = mIOTimeout;
        pSoap->send_timeout = mIOTimeout;
        WSDD_LOG(5, mIOTimeout, pCategory, "SOAP server config: I/O timeout");
    }
    soap_set_imode(pSoap, cServerInputExtra);
    soap_set_omode(pSoap, cServerOutputExtra);
    if (mSoapLogging && soap_register_plugin(pSoap, logging_joxcore_register) != SOAP_OK)
    {
        WSDD_LOG(2, pSoap->error, pCategory, "Failed to register Logging Plugin");
        soap_print_fault(pSoap, stderr);
    }
}

bool WSDDBaseThread::BindMulticast(struct soap* pSoap)
{
    const char* const pCategory = "WSDDBaseThread : BindMulticast";
    pSoap->bind_flags = SO_REUSEADDR;
    WSDD_LOG(5, 0, pCategory,
             ("Binding multicast listening socket to " + mIp + ":" + std::to_string(mpMulticastListenPort)).c_str());
    // All IPv4 addresses: the library is built for IPv6, where a missing host
    // would give an IPv6 socket on which IPv4 group membership fails.
    if (!soap_valid_socket(soap_bind(pSoap, cAllIpv4, mpMulticastListenPort, 100)))
    {
        soap_print_fault(pSoap, stderr);
        WSDD_LOG(1, pSoap->error, pCategory, "Socket bind failed with error code");
        OnError((boost::format("Multicast socket bind failed with error code %1%") % FormatSoapError(pSoap)).str());
        return false;
    }

    // Hear the group only on this worker's interface: Linux would otherwise
    // deliver the group traffic of every interface that any socket joined.
    const int all = 0;
    setsockopt(pSoap->master, IPPROTO_IP, IP_MULTICAST_ALL, &all, sizeof(all));
    // The system caps SO_RCVBUF at its maximum; a privileged process may go past it.
    setsockopt(pSoap->master, SOL_SOCKET, SO_RCVBUF, &cMulticastReceiveBuffer, sizeof(cMulticastReceiveBuffer));
    int granted = 0;
    socklen_t grantedLength = sizeof(granted);
    if (getsockopt(pSoap->master, SOL_SOCKET, SO_RCVBUF, &granted, &grantedLength) == 0 &&
        granted < cMulticastReceiveBuffer)
        setsockopt(pSoap->master, SOL_SOCKET, SO_RCVBUFFORCE, &cMulticastReceiveBuffer,
                   sizeof(cMulticastReceiveBuffer));

    ip_mreq request;
    std::memset(&request, 0, sizeof(request));
    request.imr_interface.s_addr = inet_addr(mIp.c_str());
    if (request.imr_interface.s_addr == INADDR_NONE)
        request.imr_interface.s_addr = INADDR_ANY;
    char text[INET_ADDRSTRLEN] = {0};
    inet_ntop(AF_INET, &request.imr_interface, text, sizeof(text));
    WSDD_LOG(3, static_cast<int>(request.imr_interface.s_addr), pCategory,
             (std::string("imr_interface ") + text).c_str());
    request.imr_multiaddr.s_addr = inet_addr(mpMulticastAddress);
    WSDD_LOG(3, static_cast<int>(request.imr_multiaddr.s_addr), pCategory,
             (std::string("imr_multiaddr ") + mpMulticastAddress).c_str());
    if (setsockopt(pSoap->master, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof(request)) != 0)
    {
        const int error = errno;
        WSDD_LOG(1, error, pCategory, "Socket join mutlicast group failed with error");
        OnError((boost::format("Socket join mutlicast group failed with error code %1%") % error).str());
        return false;
    }
    WSDD_LOG(5, 0, pCategory, "Socket bound successfully");
    return true;
}

bool WSDDBaseThread::BindUnicast(struct soap* pSoap)
{
    const char* const pCategory = "WSDDBaseThread : BindUnicast";
    pSoap->bind_flags = SO_REUSEADDR;
    const unsigned short port = GetUnicastPort();
    WSDD_LOG(5, 0, pCategory, ("Binding listening socket to " + mIp + ":" + std::to_string(port)).c_str());
    if (!soap_valid_socket(soap_bind(pSoap, mIp.empty() ? cAllIpv4 : mIp.c_str(), port, 100)))
    {
        soap_print_fault(pSoap, stderr);
        WSDD_LOG(1, pSoap->error, pCategory, "Socket bind failed with error code");
        OnError((boost::format("Unicast socket bind failed with error code %1%") % FormatSoapError(pSoap)).str());
        return false;
    }
    if (port == 0)
    {
        sockaddr_in bound;
        socklen_t length = sizeof(bound);
        if (getsockname(pSoap->master, reinterpret_cast<sockaddr*>(&bound), &length) != 0)
        {
            WSDD_LOG(1, errno, pCategory, "Failed to determine listen port");
            return false;
        }
        boost::mutex::scoped_lock lock(mSenderLock);
        mUnicastPort = ntohs(bound.sin_port);
    }
    WSDD_LOG(5, 0, pCategory, "Socket bound successfully");
    return true;
}

void WSDDBaseThread::RunSOAPServer(struct soap* pMulticast, struct soap* pUnicast)
{
    const char* const pCategory = "WSDDBaseThread : RunSOAPServer";
    if (!BindMulticast(pMulticast))
    {
        WSDD_LOG(1, 0, pCategory, "BindMulticast failed");
        return;
    }
    if (mUnicast && !BindUnicast(pUnicast))
    {
        WSDD_LOG(1, 0, pCategory, "BindUnicast failed");
        return;
    }
    if (!ReportStarted())
        return;

    mServeTimeout = mUnicast ? mListenTimeout / 2 : mListenTimeout;
    const int waitMs = TimeoutToMilliseconds(mServeTimeout);
    // Both sockets are watched at once and a datagram is served as soon as it
    // arrives, so a busy group never holds back the unicast replies; each pass
    // waits at most half the listen time, then ticks and heeds Stop.
    for (;;)
    {
        pollfd sockets[2];
        std::memset(sockets, 0, sizeof(sockets));
        sockets[0].fd = pMulticast->master;
        sockets[0].events = POLLIN;
        sockets[1].fd = mUnicast ? pUnicast->master : -1;
        sockets[1].events = POLLIN;
        const int ready = poll(sockets, 2, waitMs);
        if (ready > 0)
        {
            if ((sockets[0].revents & (POLLIN | POLLERR)) != 0)
                ServeDatagram(pMulticast, "Multicast listen failed with error");
            if (mUnicast && (sockets[1].revents & (POLLIN | POLLERR)) != 0)
                ServeDatagram(pUnicast, "Unicast listen failed with error");
        }
        Tick();
        boost::this_thread::interruption_point();
    }
}

void WSDDBaseThread::ServeDatagram(struct soap* pSoap, const char* pFailureText)
{
    const char* const pCategory = "WSDDBaseThread : RunSOAPServer";
    try
    {
        pSoap->accept_timeout = mServeTimeout;
        pSoap->recv_timeout = mServeTimeout;
        pSoap->send_timeout = mServeTimeout;
        int result = SOAP_OK;
        if (!soap_valid_socket(soap_accept(pSoap)) || soap_begin_serve(pSoap))
        {
            result = pSoap->error;
        }
        else
        {
            pSoap->keep_alive = 0;
            result = soap_wsdd_serve_request(pSoap);
        }
        // A malformed message is dropped silently; the client answers nobody.
        if (result != SOAP_OK && pSoap->errnum != 0)
        {
            soap_print_fault(pSoap, stderr);
            WSDD_LOG(2, pSoap->errnum, pCategory, pFailureText);
            WSDD_LOG(2, pSoap->errnum, pCategory, FormatSoapError(pSoap).c_str());
        }
    }
    catch (const std::exception& rException)
    {
        WSDD_LOG(2, 0, pCategory, (std::string("Dropped a datagram; caught exception '") + rException.what() + "'").c_str());
    }
    catch (...)
    {
        WSDD_LOG(2, 0, pCategory, "Dropped a datagram; caught unknown exception");
    }
    soap_destroy(pSoap);
    soap_end(pSoap);
}

} // namespace JoxWsdd
