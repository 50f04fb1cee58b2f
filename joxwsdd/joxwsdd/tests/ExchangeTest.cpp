// The WS-Discovery exchange against the test target and hand-built datagrams,
// each test in a private network namespace of its own.

#include "NetnsSandbox.h"
#include "RecordingObserver.h"
#include "TargetProcess.h"
#include "UdpPeer.h"

#include <joxwsdd/WSDDClient.h>
#include <joxwsdd/WSDDClientThread.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <regex>
#include <set>

using namespace std::chrono_literals;
using pelwicktest::ObservedEvent;
using pelwicktest::RecordingObserver;

namespace {

const char* const cWsddNamespaces =
    "xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
    "xmlns:a=\"http://www.w3.org/2005/08/addressing\" "
    "xmlns:d=\"http://docs.oasis-open.org/ws-dd/ns/discovery/2009/01\"";

std::string Envelope(const std::string& rAction, const std::string& rExtraHeader, const std::string& rBody)
{
    static int sCounter = 0;
    const int number = ++sCounter;
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><s:Envelope ") + cWsddNamespaces
           + "><s:Header><a:Action>http://docs.oasis-open.org/ws-dd/ns/discovery/2009/01/" + rAction
           + "</a:Action><a:MessageID>urn:uuid:00000000-0000-4000-8000-" + std::to_string(100000000000 + number)
           + "</a:MessageID><a:To>urn:docs-oasis-open-org:ws-dd:ns:discovery:2009:01</a:To>"
           + "<d:AppSequence InstanceId=\"7\" MessageNumber=\"" + std::to_string(number) + "\"/>"
           + rExtraHeader + "</s:Header><s:Body>" + rBody + "</s:Body></s:Envelope>";
}

std::string Epr(const std::string& rAddress)
{
    return "<a:EndpointReference><a:Address>" + rAddress + "</a:Address></a:EndpointReference>";
}

class ExchangeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TANDRIL_REQUIRE_PRIVATE_NETNS();
        mpObserver = boost::make_shared<RecordingObserver>();
        mpWorker = std::make_unique<JoxWsdd::WSDDClientThread>("127.0.0.1", 0, 3702);
        ASSERT_TRUE(mpWorker->AddObserver(mpObserver));
        ASSERT_TRUE(mpWorker->Start());
        ASSERT_TRUE(mpWorker->WaitForThreadRunning(2000)) << mpWorker->GetErrorString();
    }

    void TearDown() override
    {
        if (mpWorker)
            mpWorker->Stop();
    }

    boost::shared_ptr<RecordingObserver> mpObserver;
    std::unique_ptr<JoxWsdd::WSDDClientThread> mpWorker;
};

} // namespace

TEST_F(ExchangeTest, TargetAnnouncementsAndAnswersReachTheObserver)
{
    pelwicktest::TargetProcess target({"--types", "tds:Device  service_name__MAINTENANCE status_name__free",
                                       "--xaddrs", "http://127.0.0.1:8080/maintenance", "--scopes",
                                       "onvif://scope/a"});
    ASSERT_TRUE(target.IsReady());

    const ObservedEvent hello = mpObserver->WaitFor("hello", 3s);
    ASSERT_EQ(hello.mKind, "hello");
    EXPECT_EQ(hello.mEndpoint, target.GetEndpoint());
    // Two blanks side by side count as one separator.
    EXPECT_EQ(hello.mTypes, std::list<std::string>({"tds:Device", "service_name__MAINTENANCE", "status_name__free"}));
    EXPECT_EQ(hello.mScopes, "onvif://scope/a");
    EXPECT_EQ(hello.mXAddrs, "http://127.0.0.1:8080/maintenance");
    EXPECT_EQ(hello.mMetadataVersion, 1u);

    mpWorker->SendProbe("tds:Device", nullptr, nullptr);
    const ObservedEvent match = mpObserver->WaitFor("probematch", 3s);
    ASSERT_EQ(match.mKind, "probematch");
    ASSERT_EQ(match.mMatchCount, 1u);
    EXPECT_TRUE(match.mOutOfRangeUntouched);
    EXPECT_EQ(match.mMatches[0][0], target.GetEndpoint());
    EXPECT_EQ(match.mMatches[0][1], "tds:Device  service_name__MAINTENANCE status_name__free");
    EXPECT_EQ(match.mMatches[0][2], "onvif://scope/a");
    EXPECT_EQ(match.mMatches[0][4], "http://127.0.0.1:8080/maintenance");
    EXPECT_EQ(match.mMatches[0][5], "1");
    EXPECT_TRUE(std::regex_match(match.mMessageId, std::regex("urn:uuid:[0-9a-f-]{36}"))) << match.mMessageId;

    mpWorker->SendResolve(target.GetEndpoint().c_str());
    const ObservedEvent resolved = mpObserver->WaitFor("resolvematch", 3s);
    ASSERT_EQ(resolved.mKind, "resolvematch");
    EXPECT_EQ(resolved.mEndpoint, target.GetEndpoint());
    EXPECT_EQ(resolved.mTypes.size(), 3u);
    EXPECT_EQ(resolved.mXAddrs, "http://127.0.0.1:8080/maintenance");

    EXPECT_TRUE(target.Stop());
    const ObservedEvent bye = mpObserver->WaitFor("bye", 3s);
    ASSERT_EQ(bye.mKind, "bye");
    EXPECT_EQ(bye.mEndpoint, target.GetEndpoint());
    EXPECT_EQ(bye.mMetadataVersion, 1u);
}

TEST_F(ExchangeTest, HandBuiltAnnouncementsGiveTheObserverArguments)
{
    pelwicktest::UdpPeer peer;
    const unsigned short port = mpWorker->GetUnicastPort();
    // Hello without Types or Scopes, to the unicast socket.
    ASSERT_TRUE(peer.SendTo("127.0.0.1", port, Envelope("Hello", "",
        "<d:Hello>" + Epr("urn:uuid:hello-bare") + "<d:MetadataVersion>4</d:MetadataVersion></d:Hello>")));
    // Hello with three names and a double blank, through the group.
    ASSERT_TRUE(peer.SendToGroup("127.0.0.1", Envelope("Hello", "",
        "<d:Hello>" + Epr("urn:uuid:hello-typed") + "<d:Types>a:x  b:y c__1</d:Types>"
        "<d:Scopes MatchBy=\"rfc3986\">scope://s</d:Scopes><d:XAddrs>http://10.0.0.5/ http://10.0.0.6/</d:XAddrs>"
        "<d:MetadataVersion>2</d:MetadataVersion></d:Hello>")));
    // Bye without MetadataVersion.
    ASSERT_TRUE(peer.SendTo("127.0.0.1", port, Envelope("Bye", "", "<d:Bye>" + Epr("urn:uuid:bye-bare") + "</d:Bye>")));
    // ProbeMatches with three matches, the second without Scopes.
    std::string matches = "<d:ProbeMatches>";
    for (int index = 0; index < 3; ++index)
    {
        matches += "<d:ProbeMatch>" + Epr("urn:uuid:match-" + std::to_string(index)) + "<d:Types>t:T</d:Types>"
                   + (index == 1 ? std::string() : "<d:Scopes MatchBy=\"strcmp0\">sc://" + std::to_string(index) + "</d:Scopes>")
                   + "<d:XAddrs>http://10.0.0." + std::to_string(index) + "/</d:XAddrs>"
                   + "<d:MetadataVersion>" + std::to_string(index + 10) + "</d:MetadataVersion></d:ProbeMatch>";
    }
    matches += "</d:ProbeMatches>";
    ASSERT_TRUE(peer.SendTo("127.0.0.1", port, Envelope("ProbeMatches", "<a:RelatesTo>urn:uuid:probe</a:RelatesTo>", matches)));

    const auto byEndpoint = [](const std::string& rEndpoint) {
        return [rEndpoint](const ObservedEvent& rEvent) { return rEvent.mEndpoint == rEndpoint; };
    };
    const ObservedEvent bare = mpObserver->WaitFor("hello", 3s, byEndpoint("urn:uuid:hello-bare"));
    ASSERT_EQ(bare.mKind, "hello");
    EXPECT_TRUE(bare.mTypes.empty());
    EXPECT_EQ(bare.mScopes, "<null>");
    EXPECT_EQ(bare.mXAddrs, "<null>");
    EXPECT_EQ(bare.mMetadataVersion, 4u);

    const ObservedEvent typed = mpObserver->WaitFor("hello", 3s, byEndpoint("urn:uuid:hello-typed"));
    ASSERT_EQ(typed.mKind, "hello");
    EXPECT_EQ(typed.mTypes, std::list<std::string>({"a:x", "b:y", "c__1"}));
    EXPECT_EQ(typed.mScopes, "scope://s");
    EXPECT_EQ(typed.mXAddrs, "http://10.0.0.5/ http://10.0.0.6/");

    const ObservedEvent bye = mpObserver->WaitFor("bye", 3s, byEndpoint("urn:uuid:bye-bare"));
    ASSERT_EQ(bye.mKind, "bye");
    EXPECT_EQ(bye.mMetadataVersion, 0u);

    const ObservedEvent match = mpObserver->WaitFor("probematch", 3s);
    ASSERT_EQ(match.mKind, "probematch");
    ASSERT_EQ(match.mMatchCount, 3u);
    EXPECT_TRUE(match.mOutOfRangeUntouched);
    EXPECT_EQ(match.mMatches[0], std::vector<std::string>({"urn:uuid:match-0", "t:T", "sc://0", "strcmp0", "http://10.0.0.0/", "10"}));
    EXPECT_EQ(match.mMatches[1], std::vector<std::string>({"urn:uuid:match-1", "t:T", "<null>", "<null>", "http://10.0.0.1/", "11"}));
    // The MessageID of the ProbeMatches message, not its RelatesTo.
    EXPECT_NE(match.mMessageId, "urn:uuid:probe");
    EXPECT_EQ(match.mMessageId.compare(0, 9, "urn:uuid:"), 0);
}

TEST_F(ExchangeTest, ProbeAndResolveFromOthersGetNoAnswer)
{
    pelwicktest::UdpPeer peer;
    const std::string replyTo = "<a:ReplyTo><a:Address>" + peer.GetEndpoint() + "</a:Address></a:ReplyTo>";
    const std::string probe = Envelope("Probe", replyTo, "<d:Probe><d:Types>tds:Device</d:Types></d:Probe>");
    const std::string resolve = Envelope("Resolve", replyTo, "<d:Resolve>" + Epr("urn:uuid:anyone") + "</d:Resolve>");
    ASSERT_TRUE(peer.SendToGroup("127.0.0.1", probe));
    ASSERT_TRUE(peer.SendTo("127.0.0.1", mpWorker->GetUnicastPort(), probe));
    ASSERT_TRUE(peer.SendToGroup("127.0.0.1", resolve));
    ASSERT_TRUE(peer.SendTo("127.0.0.1", mpWorker->GetUnicastPort(), resolve));
    EXPECT_EQ(peer.Receive(500ms), "");
    for (const char* pKind : {"hello", "bye", "probematch", "resolvematch"})
        EXPECT_EQ(mpObserver->Count(pKind), 0u) << pKind;
}

TEST_F(ExchangeTest, WorkerSurvivesAnyDatagram)
{
    pelwicktest::UdpPeer peer;
    const unsigned short port = mpWorker->GetUnicastPort();
    const std::vector<std::string> junk = {
        "",
        "garbage",
        std::string(70000 > 65507 ? 65507 : 70000, 'x'),
        "<?xml version=\"1.0\"?><s:Envelope " + std::string(cWsddNamespaces) + "><s:Body><d:Hello>",
        Envelope("Hello", "", "<d:Hello>" + Epr("urn:uuid:bad-version") + "<d:MetadataVersion>not-a-number</d:MetadataVersion></d:Hello>"),
        Envelope("Hello", "", "<d:Hello><d:Types>x</d:Types></d:Hello>"),
        Envelope("ProbeMatches", "", "<d:ProbeMatches><d:ProbeMatch></d:ProbeMatch></d:ProbeMatches>"),
        Envelope("ResolveMatches", "", "<d:ResolveMatches/>"),
        Envelope("Unknown", "", "<d:Nothing/>"),
        std::string("\0\0\0\xff\xfe<", 6),
    };
    for (const std::string& rDatagram : junk)
    {
        peer.SendTo("127.0.0.1", port, rDatagram);
        peer.SendToGroup("127.0.0.1", rDatagram);
    }
    // The worker still runs and still hears valid announcements.
    ASSERT_TRUE(peer.SendTo("127.0.0.1", port, Envelope("Hello", "",
        "<d:Hello>" + Epr("urn:uuid:after-junk") + "<d:MetadataVersion>1</d:MetadataVersion></d:Hello>")));
    const ObservedEvent hello = mpObserver->WaitFor("hello", 3s,
        [](const ObservedEvent& rEvent) { return rEvent.mEndpoint == "urn:uuid:after-junk"; });
    EXPECT_EQ(hello.mKind, "hello");
    EXPECT_TRUE(mpWorker->IsRunning());
    EXPECT_EQ(mpObserver->Count("resolvematch"), 0u);
}

TEST_F(ExchangeTest, ProbeAndResolveOnTheWire)
{
    const auto pGroup = pelwicktest::UdpPeer::GroupMember("127.0.0.1");
    const std::string replyTo = mpWorker->GetReplyTo();
    EXPECT_EQ(replyTo, "soap.udp://127.0.0.1:" + std::to_string(mpWorker->GetUnicastPort()));

    std::set<std::string> messageIds;
    const std::regex idPattern("<[a-z0-9]+:MessageID>(urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12})</");
    for (int round = 0; round < 3; ++round)
    {
        mpWorker->SendProbe("tds:Device", "scope://x", "strcmp0");
        const std::string datagram = pGroup->Receive(2000ms);
        ASSERT_FALSE(datagram.empty());
        EXPECT_NE(datagram.find("http://schemas.xmlsoap.org/soap/envelope/"), std::string::npos);
        EXPECT_NE(datagram.find("http://docs.oasis-open.org/ws-dd/ns/discovery/2009/01/Probe<"), std::string::npos);
        EXPECT_NE(datagram.find(">urn:docs-oasis-open-org:ws-dd:ns:discovery:2009:01<"), std::string::npos);
        EXPECT_NE(datagram.find(">" + replyTo + "<"), std::string::npos);
        EXPECT_NE(datagram.find(">tds:Device<"), std::string::npos);
        EXPECT_NE(datagram.find("MatchBy=\"strcmp0\""), std::string::npos);
        std::smatch found;
        ASSERT_TRUE(std::regex_search(datagram, found, idPattern)) << datagram;
        messageIds.insert(found[1]);
    }
    EXPECT_EQ(messageIds.size(), 3u);

    mpWorker->SendResolve("urn:uuid:wanted");
    const std::string resolve = pGroup->Receive(2000ms);
    EXPECT_NE(resolve.find("http://docs.oasis-open.org/ws-dd/ns/discovery/2009/01/Resolve<"), std::string::npos);
    EXPECT_NE(resolve.find(">urn:uuid:wanted<"), std::string::npos);
    // Each request is one datagram, never repeated.
    EXPECT_EQ(pGroup->Receive(300ms), "");
}
