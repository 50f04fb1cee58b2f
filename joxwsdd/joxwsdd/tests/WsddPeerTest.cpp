// Debian's wsdd daemon (WS-Discovery 2005/04) as an independent peer in a
// namespace of its own: its Hello and Bye reach our observers.

#include "NetnsSandbox.h"
#include "PeerNamespace.h"
#include "RecordingObserver.h"

#include <joxwsdd/WSDDClientThread.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <thread>

using namespace std::chrono_literals;
using pelwicktest::ObservedEvent;
using pelwicktest::RecordingObserver;

TEST(WsddPeerTest, HelloAndByeOfTheDaemonArrive)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    if (access("/usr/sbin/wsdd", X_OK) != 0)
        GTEST_SKIP() << "Debian's wsdd is not installed (tools/install-deps.sh installs it)";
    tandriltest::PeerNamespace peer;
    ASSERT_TRUE(peer.IsValid());
    const std::string local = peer.AddLink("10.92.1.1", "10.92.1.2");
    ASSERT_FALSE(local.empty());

    const auto pObserver = boost::make_shared<RecordingObserver>();
    JoxWsdd::WSDDClientThread worker("10.92.1.1", 0, 3702);
    worker.AddObserver(pObserver);
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(worker.WaitForThreadRunning(2000)) << worker.GetErrorString();

    const std::string uuid = "3d1c1f8e-6b7a-4c55-9d11-0123456789ab";
    const pid_t daemon = peer.Spawn({"/usr/sbin/wsdd", "-4", "-t", "-s", "-i", "10.92.1.2", "-n", "TANDRILPEER",
                                     "-U", uuid});
    ASSERT_GT(daemon, 0);

    const ObservedEvent hello = pObserver->WaitFor("hello", 10s);
    ASSERT_EQ(hello.mKind, "hello") << "no Hello from wsdd";
    EXPECT_EQ(hello.mEndpoint, "urn:uuid:" + uuid);
    EXPECT_TRUE(hello.mTypes.empty());

    peer.StopProcess(daemon, SIGTERM, 5000);
    const ObservedEvent bye = pObserver->WaitFor("bye", 10s);
    ASSERT_EQ(bye.mKind, "bye") << "no Bye from wsdd";
    EXPECT_EQ(bye.mEndpoint, "urn:uuid:" + uuid);

    // Its repeats arrive as repeats of the same endpoint; the worker stays up.
    std::this_thread::sleep_for(1500ms);
    for (const ObservedEvent& rEvent : pObserver->Events("hello"))
        EXPECT_EQ(rEvent.mEndpoint, "urn:uuid:" + uuid);
    for (const ObservedEvent& rEvent : pObserver->Events("bye"))
        EXPECT_EQ(rEvent.mEndpoint, "urn:uuid:" + uuid);
    EXPECT_GE(pObserver->Count("hello"), 1u);
    EXPECT_LE(pObserver->Count("hello"), 4u);
    EXPECT_TRUE(worker.IsRunning());
    EXPECT_TRUE(worker.Stop());
}
