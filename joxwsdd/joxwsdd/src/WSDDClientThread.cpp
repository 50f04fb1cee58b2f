#include <joxwsdd/WSDDClientThread.h>

#include <joxwsdd/IWSDDProbeMatches.h>
#include <joxwsdd/QNames.h>

#include "MessageId.h"
#include "wsddH.h"
#include "wsddapi.h"

#include <joxlog/JoxLog.h>

#include <boost/asio/deadline_timer.hpp>
#include <boost/asio/io_service.hpp>
#include <boost/bind/bind.hpp>

#include <algorithm>
#include <exception>

namespace JoxWsdd {

// Touched by the worker thread only (and by the destructor once it is joined).
struct WSDDClientThread::AutoProbeTimer
{
    boost::asio::io_service mService;
    boost::asio::deadline_timer mTimer{mService};
    bool mArmed = false;
    unsigned int mArmedStart = 0;   // the start that armed the timer
};

namespace {

void LogObserverFailure(const char* pWhat)
{
    JoxCore::Log(2, 0, "WSDDClientThread", (std::string("Observer failed: ") + pWhat).c_str(), __FILE__,
                 __LINE__, __func__);
}

// Runs one observer call; an observer that throws must not end the worker
// nor keep the others from hearing the message.
template <typename Call>
void CallObserver(Call call)
{
    try
    {
        call();
    }
    catch (const std::exception& rException)
    {
        LogObserverFailure(rException.what());
    }
    catch (...)
    {
        LogObserverFailure("unknown exception");
    }
}

} // namespace

WSDDClientThread::WSDDClientThread(std::string ip, unsigned short unicastPort, unsigned short multicastPort)
    : WSDDBaseThread(std::move(ip), true, unicastPort, multicastPort),
      mAutoProbeInterval(5),
      mpAutoProbe(new AutoProbeTimer),
      mAutoProbeActive(false),
      mAutoProbeStarts(0)
{
}

WSDDClientThread::~WSDDClientThread()
{
    // Stopped here, while this object is whole: the thread calls its
    // overrides until it is joined.
    StopBeforeDestruction();
    boost::system::error_code ignored;
    mpAutoProbe->mTimer.cancel(ignored);
}

bool WSDDClientThread::AddObserver(const boost::shared_ptr<IWSDDClientObserver>& rObserver)
{
    if (!rObserver)
        return false;
    boost::mutex::scoped_lock lock(mObserverLock);
    if (std::find(mObservers.begin(), mObservers.end(), rObserver) != mObservers.end())
        return false;
    mObservers.push_back(rObserver);
    return true;
}

bool WSDDClientThread::RemoveObserver(const boost::shared_ptr<IWSDDClientObserver>& rObserver)
{
    if (!rObserver)
        return false;
    boost::mutex::scoped_lock lock(mObserverLock);
    const auto found = std::find(mObservers.begin(), mObservers.end(), rObserver);
    if (found == mObservers.end())
        return false;
    mObservers.erase(found);
    return true;
}

std::string WSDDClientThread::GetReplyTo() const
{
    boost::mutex::scoped_lock lock(mSenderLock);
    return mReplyTo;
}

void WSDDClientThread::OnThreadStarted()
{
    {
        boost::mutex::scoped_lock lock(mSenderLock);
        if (mReplyTo.empty() && !mIp.empty())
            mReplyTo = CreateSoapUdpEndpoint(mIp.c_str(), mUnicastPort);
    }
    boost::mutex::scoped_lock lock(mObserverLock);
    for (const auto& rObserver : mObservers)
        CallObserver([&rObserver] { rObserver->OnThreadStarted(); });
}

void WSDDClientThread::OnThreadStopping()
{
    boost::mutex::scoped_lock lock(mObserverLock);
    for (const auto& rObserver : mObservers)
        CallObserver([&rObserver] { rObserver->OnThreadStopping(); });
}

void WSDDClientThread::StartAutoProbe(unsigned int seconds)
{
    mAutoProbeInterval = seconds;
    if (mAutoProbeActive)
        return;
    ++mAutoProbeStarts;
    mAutoProbeActive = true;
}

void WSDDClientThread::StopAutoProbe()
{
    mAutoProbeActive = false;
}

void WSDDClientThread::Tick()
{
    ApplyAutoProbeRequest();
    if (mpAutoProbe->mArmed)
        mpAutoProbe->mService.poll_one();
}

void WSDDClientThread::ApplyAutoProbeRequest()
{
    AutoProbeTimer& rProbe = *mpAutoProbe;
    const unsigned int start = mAutoProbeStarts;
    if (mAutoProbeActive)
    {
        if (rProbe.mArmed && rProbe.mArmedStart == start)
            return;
        // Setting the expiry cancels a pending wait; its aborted handler runs
        // with the next poll and returns at once.
        rProbe.mService.restart();
        rProbe.mTimer.expires_from_now(boost::posix_time::seconds(mAutoProbeInterval.load()));
        rProbe.mTimer.async_wait(
            boost::bind(&WSDDClientThread::AutoProbeTimerExpired, this, boost::placeholders::_1));
        rProbe.mArmed = true;
        rProbe.mArmedStart = start;
    }
    else if (rProbe.mArmed)
    {
        boost::system::error_code ignored;
        rProbe.mTimer.cancel(ignored);
        rProbe.mService.poll();
        rProbe.mArmed = false;
    }
}

void WSDDClientThread::AutoProbeTimerExpired(const boost::system::error_code& rError)
{
    if (rError == boost::asio::error::operation_aborted || !mAutoProbeActive)
        return;
    {
        boost::mutex::scoped_lock lock(mObserverLock);
        for (const auto& rObserver : mObservers)
            CallObserver([&rObserver] { rObserver->OnAutoProbe(); });
    }
    mpAutoProbe->mTimer.expires_from_now(boost::posix_time::seconds(mAutoProbeInterval.load()));
    mpAutoProbe->mTimer.async_wait(
        boost::bind(&WSDDClientThread::AutoProbeTimerExpired, this, boost::placeholders::_1));
}

void WSDDClientThread::SendProbe(const char* pTypes, const char* pScopes, const char* pMatchBy)
{
    SendRequest(true, pTypes, pScopes, pMatchBy, nullptr);
}

void WSDDClientThread::SendResolve(const char* pEndpoint)
{
    SendRequest(false, nullptr, nullptr, nullptr, pEndpoint);
}

void WSDDClientThread::SendRequest(bool bProbe, const char* pTypes, const char* pScopes,
                                   const char* pMatchBy, const char* pEndpoint)
{
    boost::mutex::scoped_lock lock(mSenderLock);
    if (mpSender == nullptr)
        return;
    const std::string messageId = CreateMessageId();
    const int result = bProbe
        ? soap_wsdd_Probe(mpSender, SOAP_WSDD_ADHOC, SOAP_WSDD_TO_TS, mMulticastEndpoint.c_str(),
                          messageId.c_str(), mReplyTo.c_str(), pTypes, pScopes, pMatchBy)
        : soap_wsdd_Resolve(mpSender, SOAP_WSDD_ADHOC, SOAP_WSDD_TO_TS, mMulticastEndpoint.c_str(),
                            messageId.c_str(), mReplyTo.c_str(), pEndpoint);
    if (result != SOAP_OK)
    {
        soap_print_fault(mpSender, stderr);
        const char* pText = bProbe ? "SendProbe failed with error" : "SendResolve failed with error";
        JoxCore::Log(2, mpSender->error, "WSDDClientThread", pText, __FILE__, __LINE__, __func__);
        JoxCore::Log(2, mpSender->error, "WSDDClientThread", FormatSoapError(mpSender).c_str(), __FILE__,
                     __LINE__, __func__);
    }
    // Frees the message's temporary data too, so that repeated sends do not
    // accumulate it in the long-lived sender context.
    soap_destroy(mpSender);
    soap_end(mpSender);
}

void WSDDClientThread::NotifyHello(const char* pEndpoint, const char* pTypes, const char* pScopes,
                                   unsigned int metadataVersion, const char* pXAddrs)
{
    Notify(NotifyKindHello, pEndpoint, pTypes, pScopes, metadataVersion, pXAddrs);
}

void WSDDClientThread::NotifyBye(const char* pEndpoint, const char* pTypes, const char* pScopes,
                                 unsigned int metadataVersion, const char* pXAddrs)
{
    Notify(NotifyKindBye, pEndpoint, pTypes, pScopes, metadataVersion, pXAddrs);
}

void WSDDClientThread::NotifyResolveMatch(const char* pEndpoint, const char* pTypes, const char* pScopes,
                                          unsigned int metadataVersion, const char* pXAddrs)
{
    Notify(NotifyKindResolveMatch, pEndpoint, pTypes, pScopes, metadataVersion, pXAddrs);
}

void WSDDClientThread::Notify(NotifyKind kind, const char* pEndpoint, const char* pTypes,
                              const char* pScopes, unsigned int metadataVersion, const char* pXAddrs)
{
    const std::list<std::string> types = SplitQNames(pTypes);
    boost::mutex::scoped_lock lock(mObserverLock);
    for (const auto& rObserver : mObservers)
    {
        CallObserver([&] {
            switch (kind)
            {
            case NotifyKindHello:
                rObserver->OnHello(pEndpoint, types, pScopes, metadataVersion, pXAddrs);
                break;
            case NotifyKindBye:
                rObserver->OnBye(pEndpoint, types, pScopes, metadataVersion, pXAddrs);
                break;
            case NotifyKindResolveMatch:
                rObserver->OnResolveMatch(pEndpoint, types, pScopes, metadataVersion, pXAddrs);
                break;
            }
        });
    }
}

void WSDDClientThread::NotifyProbeMatches(const IWSDDProbeMatches& rMatches, const char* pMessageId)
{
    boost::mutex::scoped_lock lock(mObserverLock);
    for (const auto& rObserver : mObservers)
        CallObserver([&] { rObserver->OnProbeMatch(rMatches, pMessageId); });
}

} // namespace JoxWsdd
