// Two workers on two local addresses, each joined by a veth pair to a peer
// namespace in which one target listens per link.

#include "NetnsSandbox.h"
#include "PeerNamespace.h"
#include "RecordingObserver.h"
#include "TargetProcess.h"

#include <joxwsdd/WSDDClientThread.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using pelwicktest::ObservedEvent;
using pelwicktest::RecordingObserver;

namespace {

struct Worker
{
    explicit Worker(const std::string& rIp)
        : mpObserver(boost::make_shared<RecordingObserver>()), mThread(rIp, 0, 3702)
    {
        mThread.AddObserver(mpObserver);
    }
    boost::shared_ptr<RecordingObserver> mpObserver;
    JoxWsdd::WSDDClientThread mThread;
};

const auto cFromEndpoint = [](const std::string& rEndpoint) {
    return [rEndpoint](const ObservedEvent& rEvent) {
        return rEvent.mEndpoint == rEndpoint
               || (!rEvent.mMatches.empty() && rEvent.mMatches[0][0] == rEndpoint);
    };
};

} // namespace

TEST(InterfacesTest, EachWorkerProbesAndHearsOnlyItsOwnInterface)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    tandriltest::PeerNamespace peer;
    ASSERT_TRUE(peer.IsValid());
    ASSERT_FALSE(peer.AddLink("10.91.1.1", "10.91.1.2").empty());
    ASSERT_FALSE(peer.AddLink("10.91.2.1", "10.91.2.2").empty());

    Worker first("10.91.1.1");
    Worker second("10.91.2.1");
    for (Worker* pWorker : {&first, &second})
    {
        ASSERT_TRUE(pWorker->mThread.Start());
        ASSERT_TRUE(pWorker->mThread.WaitForThreadRunning(2000)) << pWorker->mThread.GetErrorString();
    }

    const std::string firstTarget = "urn:uuid:11111111-1111-4111-8111-111111111111";
    const std::string secondTarget = "urn:uuid:22222222-2222-4222-8222-222222222222";
    const std::string program = pelwicktest::TargetProcess::ProgramPath();
    ASSERT_GT(peer.Spawn({program, "--ip", "10.91.1.2", "--endpoint", firstTarget, "--xaddrs",
                          "http://10.91.1.2:8080/maintenance", "--duration-ms", "20000"}), 0);
    ASSERT_GT(peer.Spawn({program, "--ip", "10.91.2.2", "--endpoint", secondTarget, "--xaddrs",
                          "http://10.91.2.2:8080/maintenance", "--duration-ms", "20000"}), 0);

    // Each Hello arrives at the worker of its own link only.
    EXPECT_EQ(first.mpObserver->WaitFor("hello", 5s, cFromEndpoint(firstTarget)).mKind, "hello");
    EXPECT_EQ(second.mpObserver->WaitFor("hello", 5s, cFromEndpoint(secondTarget)).mKind, "hello");

    first.mThread.SendProbe(nullptr, nullptr, nullptr);
    const ObservedEvent firstMatch = first.mpObserver->WaitFor("probematch", 3s);
    ASSERT_EQ(firstMatch.mKind, "probematch");
    ASSERT_EQ(firstMatch.mMatchCount, 1u);
    EXPECT_EQ(firstMatch.mMatches[0][0], firstTarget);
    EXPECT_EQ(firstMatch.mMatches[0][4], "http://10.91.1.2:8080/maintenance");
    EXPECT_EQ(second.mpObserver->WaitFor("probematch", 300ms).mKind, "");

    second.mThread.SendProbe("tds:Device", nullptr, nullptr);
    const ObservedEvent secondMatch = second.mpObserver->WaitFor("probematch", 3s);
    ASSERT_EQ(secondMatch.mKind, "probematch");
    EXPECT_EQ(secondMatch.mMatches[0][0], secondTarget);
    EXPECT_EQ(first.mpObserver->Count("probematch"), 1u);

    second.mThread.SendResolve(secondTarget.c_str());
    EXPECT_EQ(second.mpObserver->WaitFor("resolvematch", 3s, cFromEndpoint(secondTarget)).mKind, "resolvematch");
    // A Resolve for the other link's target finds nobody here.
    second.mThread.SendResolve(firstTarget.c_str());
    EXPECT_EQ(second.mpObserver->WaitFor("resolvematch", 300ms, cFromEndpoint(firstTarget)).mKind, "");

    for (const ObservedEvent& rEvent : first.mpObserver->Events("hello"))
        EXPECT_EQ(rEvent.mEndpoint, firstTarget);
    for (const ObservedEvent& rEvent : second.mpObserver->Events("hello"))
        EXPECT_EQ(rEvent.mEndpoint, secondTarget);
}
