#include <joxwsdd/WSDDClient.h>

#include <joxwsdd/WSDDClientThread.h>

#include <joxlog/JoxLog.h>

#include <algorithm>

namespace JoxWsdd {

namespace {

// How long MuteIps waits for a restarted worker to listen.
const unsigned int mpRestartWaitMs = 2000;

} // namespace

WSDDClient::WSDDClient(std::vector<ClientThreadParameter> parameters)
{
    InitThreads(parameters);
}

WSDDClient::WSDDClient(std::string ip, unsigned short unicastPort, unsigned short multicastPort)
{
    ClientThreadParameter parameter;
    parameter.mIp = std::move(ip);
    parameter.mUnicastPort = unicastPort;
    parameter.mMulticastPort = multicastPort;
    InitThreads({parameter});
}

WSDDClient::~WSDDClient()
{
    for (const auto& rThread : mThreads)
        rThread->Stop();
    mThreads.clear();
}

WSDDClient::WSDDClient(const WSDDClient& rOther) = default;
WSDDClient& WSDDClient::operator=(const WSDDClient& rOther) = default;

void WSDDClient::InitThreads(const std::vector<ClientThreadParameter>& rParameters)
{
    for (const ClientThreadParameter& rParameter : rParameters)
        mThreads.push_back(std::make_shared<WSDDClientThread>(rParameter.mIp, rParameter.mUnicastPort,
                                                              rParameter.mMulticastPort));
}

bool WSDDClient::Start()
{
    bool bResult = true;
    for (const auto& rThread : mThreads)
        bResult = rThread->Start() && bResult;
    return bResult;
}

bool WSDDClient::Stop()
{
    bool bResult = true;
    for (const auto& rThread : mThreads)
        bResult = rThread->Stop() && bResult;
    return bResult;
}

bool WSDDClient::WaitForThreadRunning(unsigned int milliseconds)
{
    bool bResult = true;
    for (const auto& rThread : mThreads)
        bResult = rThread->WaitForThreadRunning(milliseconds) && bResult;
    return bResult;
}

bool WSDDClient::AddObserver(const boost::shared_ptr<IWSDDClientObserver>& rObserver)
{
    bool bResult = true;
    for (const auto& rThread : mThreads)
        bResult = rThread->AddObserver(rObserver) && bResult;
    return bResult;
}

bool WSDDClient::RemoveObserver(const boost::shared_ptr<IWSDDClientObserver>& rObserver)
{
    bool bResult = true;
    for (const auto& rThread : mThreads)
        bResult = rThread->RemoveObserver(rObserver) && bResult;
    return bResult;
}

void WSDDClient::SendProbe(const char* pTypes, const char* pScopes, const char* pMatchBy)
{
    for (const auto& rThread : mThreads)
        rThread->SendProbe(pTypes, pScopes, pMatchBy);
}

void WSDDClient::SendResolve(const char* pEndpoint)
{
    for (const auto& rThread : mThreads)
        rThread->SendResolve(pEndpoint);
}

bool WSDDClient::HasError() const
{
    return std::any_of(mThreads.begin(), mThreads.end(),
                       [](const auto& rThread) { return !rThread->GetErrorString().empty(); });
}

std::string WSDDClient::GetErrorString() const
{
    std::string result;
    for (const auto& rThread : mThreads)
        result += rThread->GetErrorString() + "\n";
    return result;
}

QStringList WSDDClient::GetThreadListenIps() const
{
    QStringList result;
    for (const auto& rThread : mThreads)
        result.append(QString::fromStdString(rThread->GetIp()));
    return result;
}

int WSDDClient::MuteIps(const std::vector<std::string>& rIps)
{
    bool bChanged = false;
    bool bFailed = false;
    for (const auto& rThread : mThreads)
    {
        const bool bMute = std::find(rIps.begin(), rIps.end(), rThread->GetIp()) != rIps.end();
        if (bMute && rThread->IsRunning())
        {
            bChanged = true;
            if (!rThread->Stop())
            {
                bFailed = true;
                JoxCore::Log(2, 0, "WSDDClient::MuteIps", ("Unable to stop thread with ip: " + rThread->GetIp()).c_str(),
                             __FILE__, __LINE__, __func__);
            }
        }
        else if (!bMute && !rThread->IsRunning())
        {
            bChanged = true;
            // Probes sent right after this must find the worker listening,
            // or the answers to them are lost.
            if (!rThread->Start() || !rThread->WaitForThreadRunning(mpRestartWaitMs))
            {
                bFailed = true;
                JoxCore::Log(2, 0, "WSDDClient::MuteIps", ("Unable to start thread with ip: " + rThread->GetIp()).c_str(),
                             __FILE__, __LINE__, __func__);
            }
        }
    }
    if (!bChanged)
        return -1;
    return bFailed ? 1 : 0;
}

void WSDDClient::SetIOTimeout(int timeout)
{
    for (const auto& rThread : mThreads)
        rThread->SetIOTimeout(timeout);
}

void WSDDClient::SetListenTimeout(int timeout)
{
    for (const auto& rThread : mThreads)
        rThread->SetListenTimeout(timeout);
}

void WSDDClient::SetMaxKeepAliveCalls(unsigned int calls)
{
    for (const auto& rThread : mThreads)
        rThread->SetMaxKeepAliveCalls(calls);
}

void WSDDClient::SetSoapLoggingEnabled(bool enabled)
{
    for (const auto& rThread : mThreads)
        rThread->SetSoapLoggingEnabled(enabled);
}

int WSDDClient::GetIOTimeout() const
{
    return mThreads.empty() ? 0 : mThreads.front()->GetIOTimeout();
}

int WSDDClient::GetListenTimeout() const
{
    return mThreads.empty() ? 0 : mThreads.front()->GetListenTimeout();
}

unsigned int WSDDClient::GetMaxKeepAliveCalls() const
{
    return mThreads.empty() ? 5 : mThreads.front()->GetMaxKeepAliveCalls();
}

bool WSDDClient::HasIOTimeout() const
{
    return std::any_of(mThreads.begin(), mThreads.end(), [](const auto& rThread) { return rThread->GetIOTimeout() != 0; });
}

bool WSDDClient::IsKeepAliveEnabled() const
{
    return std::any_of(mThreads.begin(), mThreads.end(),
                       [](const auto& rThread) { return rThread->GetMaxKeepAliveCalls() != 0; });
}

bool WSDDClient::IsSoapLoggingEnabled() const
{
    return std::any_of(mThreads.begin(), mThreads.end(),
                       [](const auto& rThread) { return rThread->IsSoapLoggingEnabled(); });
}

bool WSDDClient::IsRunning() const
{
    return std::any_of(mThreads.begin(), mThreads.end(), [](const auto& rThread) { return rThread->IsRunning(); });
}

bool WSDDClient::IsAutoProbeActive() const
{
    return std::any_of(mThreads.begin(), mThreads.end(),
                       [](const auto& rThread) { return rThread->IsAutoProbeActive(); });
}

void WSDDClient::StartAutoProbe(unsigned int seconds)
{
    for (const auto& rThread : mThreads)
        rThread->StartAutoProbe(seconds);
}

void WSDDClient::StopAutoProbe()
{
    for (const auto& rThread : mThreads)
        rThread->StopAutoProbe();
}

} // namespace JoxWsdd
