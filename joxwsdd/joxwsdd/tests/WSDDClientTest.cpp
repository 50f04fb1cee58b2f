// Start, stop, bind failures, muting and observers of the discovery client,
// each test in a private network namespace of its own.

#include "NetnsSandbox.h"
#include "RecordingObserver.h"

#include <joxwsdd/WSDDClient.h>
#include <joxwsdd/WSDDClientThread.h>

#include <joxlog/JoxLog.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using JoxWsdd::WSDDClient;
using pelwicktest::RecordingObserver;

namespace {

WSDDClient::ClientThreadParameter Parameter(const std::string& rIp, unsigned short unicastPort = 0)
{
    WSDDClient::ClientThreadParameter parameter;
    parameter.mIp = rIp;
    parameter.mUnicastPort = unicastPort;
    parameter.mMulticastPort = 3702;
    return parameter;
}

// A UDP socket bound without SO_REUSEADDR, so that nobody else can bind the port.
class PortBlocker
{
public:
    PortBlocker(const char* pIp, unsigned short port) : mSocket(socket(AF_INET, SOCK_DGRAM, 0))
    {
        sockaddr_in address;
        std::memset(&address, 0, sizeof(address));
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        inet_pton(AF_INET, pIp, &address.sin_addr);
        mBound = bind(mSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        socklen_t length = sizeof(address);
        getsockname(mSocket, reinterpret_cast<sockaddr*>(&address), &length);
        mPort = ntohs(address.sin_port);
    }
    ~PortBlocker() { close(mSocket); }
    bool mBound = false;
    unsigned short mPort = 0;

private:
    int mSocket;
};

std::mutex gLogLock;
std::vector<std::string> gLogged;

void CaptureLog(int level, int, const char* category, const char* message, const char*, int, const char*,
                const JoxCore::TimeStamp*)
{
    std::lock_guard<std::mutex> lock(gLogLock);
    gLogged.push_back(std::to_string(level) + " " + category + ": " + message);
}

} // namespace

TEST(WSDDClientTest, ClientWithoutWorkers)
{
    WSDDClient client(std::vector<WSDDClient::ClientThreadParameter>{});
    EXPECT_TRUE(client.Start());
    EXPECT_TRUE(client.WaitForThreadRunning(2000));
    EXPECT_TRUE(client.AddObserver(boost::make_shared<RecordingObserver>()));
    EXPECT_TRUE(client.Stop());
    EXPECT_FALSE(client.HasError());
    EXPECT_EQ(client.GetErrorString(), "");
    EXPECT_EQ(client.MuteIps({"127.0.0.1"}), -1);
    EXPECT_EQ(client.GetMaxKeepAliveCalls(), 5u);
    EXPECT_EQ(client.GetIOTimeout(), 0);
    EXPECT_EQ(client.GetListenTimeout(), 0);
    EXPECT_FALSE(client.IsRunning());
    EXPECT_TRUE(client.GetThreadListenIps().isEmpty());
}

TEST(WSDDClientTest, SettingsReachEveryWorker)
{
    WSDDClient client({Parameter("127.0.0.1"), Parameter("127.0.0.2")});
    EXPECT_EQ(client.GetThreadListenIps(), QStringList({"127.0.0.1", "127.0.0.2"}));
    EXPECT_EQ(client.GetListenTimeout(), -100000);
    EXPECT_FALSE(client.HasIOTimeout());
    EXPECT_TRUE(client.IsKeepAliveEnabled());
    client.SetIOTimeout(3);
    client.SetMaxKeepAliveCalls(0);
    client.SetListenTimeout(-20000);
    client.SetSoapLoggingEnabled(true);
    EXPECT_EQ(client.GetIOTimeout(), 3);
    EXPECT_TRUE(client.HasIOTimeout());
    EXPECT_FALSE(client.IsKeepAliveEnabled());
    EXPECT_EQ(client.GetListenTimeout(), -20000);
    EXPECT_TRUE(client.IsSoapLoggingEnabled());
    EXPECT_EQ(JoxWsdd::WSDDBaseThread::CreateSoapUdpEndpoint("10.0.0.1", 3702), "soap.udp://10.0.0.1:3702");
    EXPECT_EQ(JoxWsdd::WSDDBaseThread::CreateSoapUdpEndpoint(nullptr, 3702), "");
}

TEST(WSDDClientTest, ObserversAreAddedOnce)
{
    JoxWsdd::WSDDClientThread worker("127.0.0.1", 0, 3702);
    const auto pObserver = boost::make_shared<RecordingObserver>();
    EXPECT_FALSE(worker.AddObserver(nullptr));
    EXPECT_TRUE(worker.AddObserver(pObserver));
    EXPECT_FALSE(worker.AddObserver(pObserver));
    EXPECT_TRUE(worker.RemoveObserver(pObserver));
    EXPECT_FALSE(worker.RemoveObserver(pObserver));
    EXPECT_FALSE(worker.RemoveObserver(nullptr));

    WSDDClient client({Parameter("127.0.0.1"), Parameter("127.0.0.2")});
    EXPECT_TRUE(client.AddObserver(pObserver));
    EXPECT_FALSE(client.AddObserver(pObserver));
    EXPECT_TRUE(client.RemoveObserver(pObserver));
}

TEST(WSDDClientTest, UnicastPortChosenOnceAndKeptAcrossRestarts)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    JoxWsdd::WSDDClientThread worker("127.0.0.1", 0, 3702);
    const auto pObserver = boost::make_shared<RecordingObserver>();
    worker.AddObserver(pObserver);
    EXPECT_EQ(worker.GetReplyTo(), "");
    EXPECT_FALSE(worker.Stop());
    ASSERT_TRUE(worker.Start());
    EXPECT_FALSE(worker.Start());
    ASSERT_TRUE(worker.WaitForThreadRunning(2000)) << worker.GetErrorString();
    const unsigned short port = worker.GetUnicastPort();
    EXPECT_NE(port, 0);
    EXPECT_EQ(worker.GetReplyTo(), "soap.udp://127.0.0.1:" + std::to_string(port));
    EXPECT_EQ(pObserver->Count("started"), 1u);

    EXPECT_TRUE(worker.Stop());
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(pObserver->Count("stopping"), 1u);
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(worker.WaitForThreadRunning(2000)) << worker.GetErrorString();
    EXPECT_EQ(worker.GetUnicastPort(), port);
    EXPECT_EQ(worker.GetReplyTo(), "soap.udp://127.0.0.1:" + std::to_string(port));
    EXPECT_EQ(pObserver->Count("started"), 2u);
}

TEST(WSDDClientTest, StopReturnsPromptly)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    WSDDClient client({Parameter("127.0.0.1")});
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.WaitForThreadRunning(2000));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(client.Stop());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_FALSE(client.IsRunning());
}

// Stop or destruction right after Start meets the worker while it binds.
// Afterwards no thread runs and no observer hears anything; every started
// notice has its stopping notice.
TEST(WSDDClientTest, StopOrDestructionWhileBindingStopsTheWorker)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    const int cTries = 200;
    const auto pObserver = boost::make_shared<RecordingObserver>();
    {
        JoxWsdd::WSDDClientThread worker("127.0.0.1", 0, 3702);
        worker.AddObserver(pObserver);
        int stoppedWhileBinding = 0;
        for (int attempt = 0; attempt < cTries; ++attempt)
        {
            ASSERT_TRUE(worker.Start());
            const bool bWasRunning = worker.IsRunning();
            ASSERT_TRUE(worker.Stop()) << "attempt " << attempt;
            if (!bWasRunning)
                ++stoppedWhileBinding;
            EXPECT_FALSE(worker.IsRunning());
        }
        EXPECT_GT(stoppedWhileBinding, 0);
        const size_t events = pObserver->Events("started").size() + pObserver->Events("stopping").size();
        EXPECT_FALSE(worker.WaitForThreadRunning(200));
        EXPECT_EQ(pObserver->Events("started").size() + pObserver->Events("stopping").size(), events);
        EXPECT_EQ(pObserver->Count("started"), pObserver->Count("stopping"));
        // The worker starts again normally.
        ASSERT_TRUE(worker.Start());
        EXPECT_TRUE(worker.WaitForThreadRunning(2000)) << worker.GetErrorString();
    }
    EXPECT_EQ(pObserver->Count("started"), pObserver->Count("stopping"));

    const auto pDestroyed = boost::make_shared<RecordingObserver>();
    for (int attempt = 0; attempt < cTries; ++attempt)
    {
        auto pWorker = std::make_unique<JoxWsdd::WSDDClientThread>("127.0.0.1", 0, 3702);
        pWorker->AddObserver(pDestroyed);
        ASSERT_TRUE(pWorker->Start());
        pWorker.reset();
    }
    const size_t started = pDestroyed->Count("started");
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(pDestroyed->Count("started"), started);
    EXPECT_EQ(pDestroyed->Count("started"), pDestroyed->Count("stopping"));
}

TEST(WSDDClientTest, BindFailuresAreReportedAtOnce)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    JoxCore::SetLogHandler handler(CaptureLog);
    {
        // The second worker's interface address is not local: joining fails.
        WSDDClient client({Parameter("127.0.0.1"), Parameter("10.254.0.1")});
        ASSERT_TRUE(client.Start());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(client.WaitForThreadRunning(2000));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        EXPECT_TRUE(client.HasError());
        EXPECT_TRUE(client.IsRunning());
        const std::string errors = client.GetErrorString();
        EXPECT_EQ(errors.compare(0, 1, "\n"), 0) << errors;
        EXPECT_NE(errors.find("Socket join mutlicast group failed with error code "), std::string::npos) << errors;
        EXPECT_EQ(errors.back(), '\n');
    }
    {
        // The group port is taken by a socket that does not share it.
        PortBlocker blocker("0.0.0.0", 3702);
        ASSERT_TRUE(blocker.mBound);
        WSDDClient client({Parameter("127.0.0.1")});
        ASSERT_TRUE(client.Start());
        EXPECT_FALSE(client.WaitForThreadRunning(2000));
        const std::string errors = client.GetErrorString();
        EXPECT_EQ(errors.compare(0, 45, "Multicast socket bind failed with error code "), 0) << errors;
        EXPECT_GT(errors.size(), 46u);
    }
    {
        // The unicast port is taken.
        PortBlocker blocker("127.0.0.1", 0);
        ASSERT_TRUE(blocker.mBound);
        WSDDClient client({Parameter("127.0.0.1", blocker.mPort)});
        ASSERT_TRUE(client.Start());
        EXPECT_FALSE(client.WaitForThreadRunning(2000));
        EXPECT_EQ(client.GetErrorString().compare(0, 43, "Unicast socket bind failed with error code "), 0)
            << client.GetErrorString();
        // A new start clears the error and fails the same way.
        EXPECT_TRUE(client.Start());
        EXPECT_FALSE(client.WaitForThreadRunning(2000));
        EXPECT_TRUE(client.HasError());
    }
    std::lock_guard<std::mutex> lock(gLogLock);
    const auto logged = [](const std::string& rText) {
        return std::find(gLogged.begin(), gLogged.end(), rText) != gLogged.end();
    };
    EXPECT_TRUE(logged("1 WSDDBaseThread : RunSOAPServer: BindMulticast failed"));
    EXPECT_TRUE(logged("1 WSDDBaseThread : RunSOAPServer: BindUnicast failed"));
    EXPECT_TRUE(logged("1 WSDDBaseThread : BindMulticast: Socket join mutlicast group failed with error"));
}

TEST(WSDDClientTest, MuteIpsStopsAndRestartsWorkers)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    WSDDClient client({Parameter("127.0.0.1"), Parameter("127.0.0.2")});
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.WaitForThreadRunning(2000)) << client.GetErrorString();
    EXPECT_EQ(client.MuteIps({"127.0.0.2"}), 0);
    EXPECT_TRUE(client.IsRunning());
    EXPECT_EQ(client.MuteIps({"127.0.0.1", "127.0.0.2"}), 0);
    EXPECT_FALSE(client.IsRunning());
    EXPECT_EQ(client.MuteIps({"127.0.0.1", "127.0.0.2"}), -1);
    EXPECT_EQ(client.MuteIps({}), 0);
    EXPECT_TRUE(client.WaitForThreadRunning(2000));
    EXPECT_EQ(client.MuteIps({}), -1);
}

namespace {

// Records on which thread the worker started and every auto-probe tick came.
class ThreadRecordingObserver : public RecordingObserver
{
public:
    void OnThreadStarted() override
    {
        {
            std::lock_guard<std::mutex> lock(mThreadLock);
            mWorker = std::this_thread::get_id();
        }
        RecordingObserver::OnThreadStarted();
    }
    void OnAutoProbe() override
    {
        {
            std::lock_guard<std::mutex> lock(mThreadLock);
            mProbeThreads.push_back(std::this_thread::get_id());
            mProbeTimes.push_back(std::chrono::steady_clock::now());
        }
        RecordingObserver::OnAutoProbe();
    }
    std::mutex mThreadLock;
    std::thread::id mWorker;
    std::vector<std::thread::id> mProbeThreads;
    std::vector<std::chrono::steady_clock::time_point> mProbeTimes;
};

} // namespace

TEST(WSDDClientTest, AutoProbeTicksOnTheWorker)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    WSDDClient client({Parameter("127.0.0.1")});
    const auto pObserver = boost::make_shared<ThreadRecordingObserver>();
    client.AddObserver(pObserver);
    // Asked for before the worker runs: the interval counts from when the
    // worker arms its timer, on its own thread.
    EXPECT_FALSE(client.IsAutoProbeActive());
    client.StartAutoProbe(1);
    EXPECT_TRUE(client.IsAutoProbeActive());
    std::this_thread::sleep_for(1200ms);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.WaitForThreadRunning(2000));
    EXPECT_EQ(pObserver->WaitFor("autoprobe", 3s).mKind, "autoprobe");
    {
        std::lock_guard<std::mutex> lock(pObserver->mThreadLock);
        ASSERT_EQ(pObserver->mProbeTimes.size(), 1u);
        EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(pObserver->mProbeTimes[0] - started).count(),
                  900);
    }
    // Stopped and started again between two ticks: still one timer.
    client.StopAutoProbe();
    client.StartAutoProbe(1);
    const auto deadline = std::chrono::steady_clock::now() + 4s;
    while (pObserver->Count("autoprobe") < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_GE(pObserver->Count("autoprobe"), 3u);
    client.StopAutoProbe();
    EXPECT_FALSE(client.IsAutoProbeActive());
    std::this_thread::sleep_for(200ms);
    const size_t probes = pObserver->Count("autoprobe");
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(pObserver->Count("autoprobe"), probes);
    std::lock_guard<std::mutex> lock(pObserver->mThreadLock);
    for (const std::thread::id& rThread : pObserver->mProbeThreads)
        EXPECT_EQ(rThread, pObserver->mWorker);
    // Never closer together than the interval: a stop and start between
    // two ticks does not leave a second timer behind.
    for (size_t index = 1; index < pObserver->mProbeTimes.size(); ++index)
        EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(pObserver->mProbeTimes[index] -
                                                                         pObserver->mProbeTimes[index - 1])
                      .count(),
                  900);
}

TEST(WSDDClientTest, SendFailureIsLoggedTwiceAndNotRetried)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    JoxCore::SetLogHandler handler(CaptureLog);
    {
        std::lock_guard<std::mutex> lock(gLogLock);
        gLogged.clear();
    }
    // The interface address is not local: the datagram cannot leave.
    JoxWsdd::WSDDClientThread worker("10.254.0.1", 0, 3702);
    worker.SendProbe("tds:Device", nullptr, nullptr);
    worker.SendResolve("urn:uuid:x");
    std::lock_guard<std::mutex> lock(gLogLock);
    std::vector<std::string> failures;
    for (const std::string& rLine : gLogged)
    {
        if (rLine.compare(0, 19, "2 WSDDClientThread:") == 0)
            failures.push_back(rLine);
    }
    ASSERT_EQ(failures.size(), 4u);
    EXPECT_EQ(failures[0], "2 WSDDClientThread: SendProbe failed with error");
    EXPECT_NE(failures[1].find("SOAP"), std::string::npos) << failures[1];
    EXPECT_EQ(failures[2], "2 WSDDClientThread: SendResolve failed with error");
}

TEST(WSDDClientTest, SoapLoggingCopiesReceivedMessagesIntoTheLog)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    JoxCore::SetLogHandler handler(CaptureLog);
    WSDDClient client({Parameter("127.0.0.1")});
    client.SetSoapLoggingEnabled(true);
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.WaitForThreadRunning(2000));
    {
        std::lock_guard<std::mutex> lock(gLogLock);
        gLogged.clear();
    }
    // The worker hears its own Probe through the group and logs it.
    client.SendProbe("tds:Device", nullptr, nullptr);
    bool bLogged = false;
    for (int attempt = 0; attempt < 100 && !bLogged; ++attempt)
    {
        std::this_thread::sleep_for(20ms);
        std::lock_guard<std::mutex> lock(gLogLock);
        for (const std::string& rLine : gLogged)
            bLogged = bLogged || (rLine.compare(0, 13, "5 gSOAP-recv:") == 0 && rLine.find("Probe") != std::string::npos);
    }
    EXPECT_TRUE(bLogged);
    client.Stop();
}
