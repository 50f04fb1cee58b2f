// The repository fed by a real discovery client and the test target, inside
// a private network namespace: announcements become queued Qt signals.

#include "NetnsSandbox.h"
#include "TargetProcess.h"
#include "TestRepository.h"
#include "UdpPeer.h"

#include <joxwsdd/WSDDClient.h>
#include <joxwsdd/WebServiceRepositoryWithFilter.h>

#include <joxconfig/IConfigWsddClient.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <QTest>

#include <regex>

using namespace std::chrono_literals;
using JoxWsdd::WebServiceInfoPtr;

namespace {

// Collects the signals on the test's own thread (queued from the workers).
struct SignalLog
{
    explicit SignalLog(TestRepository* pRepository)
    {
        QObject::connect(pRepository, &TestRepository::ServiceAdded, &mContext,
                         [this](WebServiceInfoPtr entry) { mAdded.push_back(entry); });
        QObject::connect(pRepository, &TestRepository::ServiceChanged, &mContext,
                         [this](WebServiceInfoPtr, WebServiceInfoPtr entry) { mChanged.push_back(entry); });
        QObject::connect(pRepository, &TestRepository::ServiceRemoved, &mContext,
                         [this](WebServiceInfoPtr entry) { mRemoved.push_back(entry); });
        QObject::connect(pRepository, &TestRepository::WSDDError, &mContext,
                         [this](QString text) { mErrors.push_back(text); });
    }
    QObject mContext;
    std::vector<WebServiceInfoPtr> mAdded;
    std::vector<WebServiceInfoPtr> mChanged;
    std::vector<WebServiceInfoPtr> mRemoved;
    std::vector<QString> mErrors;
};

class MutedConfig : public JoxConfig::IConfigWsddClient
{
public:
    QStringList GetBlacklistUrls() const override { return {}; }
    QStringList GetWhitelistUrls() const override { return {}; }
    std::vector<std::string> GetMutedLocalIps() const override { return {"10.254.0.1"}; }
    QList<QPair<QString, QString>> GetStaticUrls() const override { return {}; }
};

JoxWsdd::WSDDClient::ClientThreadParameter Loopback()
{
    JoxWsdd::WSDDClient::ClientThreadParameter parameter;
    parameter.mIp = "127.0.0.1";
    return parameter;
}

} // namespace

TEST(RepositoryNetworkTest, TargetAnnouncementsBecomeSignals)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    JoxWsdd::WSDDClient client({Loopback()});
    const auto pRepository = boost::make_shared<TestRepository>(&client);
    pRepository->SetRequestedServices({"MAINTENANCE"});
    SignalLog log(pRepository.get());
    ASSERT_TRUE(client.AddObserver(pRepository));
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.WaitForThreadRunning(2000));

    {
        pelwicktest::TargetProcess target({"--types", "tds:Device service_name__MAINTENANCE status_name__free",
                                           "--xaddrs", "http://127.0.0.1:8080/maintenance"});
        ASSERT_TRUE(target.IsReady());
        ASSERT_TRUE(QTest::qWaitFor([&] { return log.mAdded.size() == 1; }, 5000));
        EXPECT_EQ(log.mAdded[0]->GetEndpoint(), target.GetEndpoint());
        EXPECT_EQ(log.mAdded[0]->GetServiceType(), JoxWsdd::WebServiceInfo::ServiceTypeMaintenance);
        EXPECT_EQ(log.mAdded[0]->GetDisplayName(), "127.0.0.1");

        // The same service answering a probe changes nothing.
        pRepository->RefreshServices();
        ASSERT_TRUE(QTest::qWaitFor([&] { return log.mAdded.size() == 2; }, 5000));
        EXPECT_EQ(log.mRemoved.size(), 1u);
        QTest::qWait(300);
        EXPECT_EQ(log.mAdded.size(), 2u);
        EXPECT_TRUE(log.mChanged.empty());
        EXPECT_TRUE(target.Stop());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.mRemoved.size() == 2; }, 5000));
    EXPECT_EQ(pRepository->GetServiceCount(), 0u);
    EXPECT_TRUE(log.mErrors.empty());
}

TEST(RepositoryNetworkTest, RefreshProbesOncePerRequestedServiceAndResolvesBareEntries)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    JoxWsdd::WSDDClient client({Loopback()});
    const auto pRepository = boost::make_shared<TestRepository>(&client);
    pRepository->SetRequestedServices({"MAINTENANCE", "MOS", "HARLEN"});
    ASSERT_TRUE(client.AddObserver(pRepository));
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.WaitForThreadRunning(2000));
    const auto pGroup = pelwicktest::UdpPeer::GroupMember("127.0.0.1");

    pRepository->RefreshServices();
    for (const char* pName : {"MAINTENANCE", "MOS", "HARLEN"})
    {
        const std::string datagram = pGroup->Receive(2000ms);
        std::smatch found;
        ASSERT_TRUE(std::regex_search(datagram, found, std::regex("<[a-z0-9]+:Types>([^<]*)</"))) << datagram;
        EXPECT_EQ(found[1].str(), std::string("service_name__") + pName);
        EXPECT_EQ(datagram.find(":Scopes"), std::string::npos);
    }
    EXPECT_EQ(pGroup->Receive(300ms), "");

    // A Hello without XAddrs gets a Resolve for its endpoint.
    pelwicktest::UdpPeer peer;
    const std::string hello =
        "<?xml version=\"1.0\"?><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "xmlns:a=\"http://www.w3.org/2005/08/addressing\" xmlns:d=\"http://docs.oasis-open.org/ws-dd/ns/discovery/2009/01\">"
        "<s:Header><a:Action>http://docs.oasis-open.org/ws-dd/ns/discovery/2009/01/Hello</a:Action>"
        "<a:MessageID>urn:uuid:1</a:MessageID><d:AppSequence InstanceId=\"1\" MessageNumber=\"1\"/></s:Header>"
        "<s:Body><d:Hello><a:EndpointReference><a:Address>urn:uuid:bare</a:Address></a:EndpointReference>"
        "<d:Types>service_name__MOS</d:Types><d:MetadataVersion>1</d:MetadataVersion></d:Hello></s:Body></s:Envelope>";
    ASSERT_TRUE(peer.SendToGroup("127.0.0.1", hello));
    std::string resolve;
    for (int attempt = 0; attempt < 5 && resolve.find("/Resolve<") == std::string::npos; ++attempt)
        resolve = pGroup->Receive(1000ms);
    EXPECT_NE(resolve.find(">urn:uuid:bare<"), std::string::npos) << resolve;
    EXPECT_EQ(pRepository->GetServiceCount(), 1u);
}

TEST(RepositoryNetworkTest, RefreshReportsClientErrors)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    JoxWsdd::WSDDClient::ClientThreadParameter foreign;
    foreign.mIp = "10.254.0.1";   // not a local address: the worker cannot join the group
    JoxWsdd::WSDDClient client({Loopback(), foreign});
    const auto pRepository = boost::make_shared<TestRepository>(&client);
    SignalLog log(pRepository.get());
    ASSERT_TRUE(client.Start());
    EXPECT_FALSE(client.WaitForThreadRunning(2000));
    // Muted, the failed worker is left alone by the refresh and keeps its error.
    MutedConfig config;
    pRepository->ReadSettings(config);
    pRepository->RefreshServices();
    ASSERT_TRUE(QTest::qWaitFor([&] { return log.mErrors.size() == 1; }, 2000));
    EXPECT_TRUE(log.mErrors[0].startsWith("\nSocket join mutlicast group failed with error code ")) << log.mErrors[0].toStdString();
}
