// How long the commands wait for a server: a collection build may keep the
// reply back far longer than the idle limit, while a vanished server is still
// noticed through TCP keepalive.
#include "NetnsSandbox.h"
#include "PeerNamespace.h"
#include "SimServerTest.h"
#include "TempDir.h"
#include "simserver/ScriptedHttpServer.h"
#include "simserver/SimServer.h"

#include <joxmaintenance/CommandCollectLog.h>
#include <joxmaintenance/CommandLogGather.h>
#include <joxmaintenance/CommandLogStatus.h>
#include <joxmaintenance/ServerConnection.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <vector>

using namespace joxmaintenance;
using Clock = std::chrono::steady_clock;

namespace {

// Shortens the process-wide limits for one test and restores them after.
class ScopedTimeouts
{
public:
    explicit ScopedTimeouts(const ServiceClientTimeouts& rTimeouts)
        : mPrevious(GetServiceClientTimeouts())
    {
        SetServiceClientTimeouts(rTimeouts);
    }
    ~ScopedTimeouts() { SetServiceClientTimeouts(mPrevious); }

private:
    ServiceClientTimeouts mPrevious;
};

ServiceClientTimeouts Scaled(int buildWaitSeconds)
{
    ServiceClientTimeouts timeouts;
    timeouts.mSendIdleSeconds = 1;
    timeouts.mReceiveIdleSeconds = 1;
    timeouts.mBuildWaitSeconds = buildWaitSeconds;
    timeouts.mKeepAliveIdleSeconds = 1;
    timeouts.mKeepAliveIntervalSeconds = 1;
    timeouts.mKeepAliveProbes = 2;
    // The floor starts with the reply's first byte: a build wait before it
    // is not cut.
    timeouts.mSpeedFloorBytesPerSecond = 1000;
    timeouts.mSpeedFloorSeconds = 1;
    return timeouts;
}

// The two commands whose server builds a collection before it answers.
struct BuildingCommand
{
    const char* mName;
    std::function<std::unique_ptr<Command>(const QString& rUrl, const QString& rFolder)> mMake;
};

const BuildingCommand kBuildingCommands[] = {
    {"LogCreateAndFetchCollection",
     [](const QString& rUrl, const QString& rFolder) -> std::unique_ptr<Command> {
         return std::make_unique<CommandLogGather>(rUrl, rFolder, LogEntryList());
     }},
    {"LogCreateCollection",
     [](const QString& rUrl, const QString&) -> std::unique_ptr<Command> {
         return std::make_unique<CommandCollectLog>(rUrl, LogEntryList());
     }},
};

class ReplyWaitTest : public SimServerTest
{
};

// Runs the command and expects it to fail after at least atLeast and within
// 10 s.
void ExpectFailsAfter(Command& rCommand, Clock::duration atLeast)
{
    const auto start = Clock::now();
    rCommand.DoExecute();
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(JoxCore::StateFailed, rCommand.GetState());
    EXPECT_GE(elapsed, atLeast);
    EXPECT_LT(elapsed, std::chrono::seconds(10));
}

TEST_F(ReplyWaitTest, ABuildLongerThanTheIdleLimitSucceedsWithinTheBuildWait)
{
    ScopedTimeouts timeouts(Scaled(30));
    mServer.SetBuildDelay(std::chrono::milliseconds(2500));
    for (const BuildingCommand& rCase : kBuildingCommands)
    {
        SCOPED_TRACE(rCase.mName);
        std::unique_ptr<Command> pCommand = rCase.mMake(mUrl, mDownloads);
        const auto start = Clock::now();
        pCommand->DoExecute();
        EXPECT_EQ(JoxCore::StateSucceeded, pCommand->GetState()) << pCommand->GetMessagesText().toStdString();
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(2500));
    }
    EXPECT_EQ(2u, mServer.GetCollections().size());
    EXPECT_FALSE(tandriltest::ReadFile(mFolder.File("downloads/collection_1.zip")).empty());
}

TEST_F(ReplyWaitTest, ABuildLongerThanTheBuildWaitFails)
{
    ScopedTimeouts timeouts(Scaled(2));
    mServer.SetBuildDelay(std::chrono::seconds(20));
    for (const BuildingCommand& rCase : kBuildingCommands)
    {
        SCOPED_TRACE(rCase.mName);
        std::unique_ptr<Command> pCommand = rCase.mMake(mUrl, mDownloads);
        ExpectFailsAfter(*pCommand, std::chrono::milliseconds(1900));
    }
}

// The long wait covers only the time until the reply begins: a reply that
// stops flowing afterwards is cut by the idle limit.
TEST(ReplyWaitStallTest, AReplyThatStallsAfterItBeganFailsAfterTheIdleLimit)
{
    ScopedTimeouts timeouts(Scaled(30));
    tandriltest::TempDir folder;
    for (const BuildingCommand& rCase : kBuildingCommands)
    {
        SCOPED_TRACE(rCase.mName);
        simserver::ScriptedHttpServer server;
        ASSERT_TRUE(server.Start({{"HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 4000\r\n\r\n"
                                   "<?xml version=\"1.0\"?>",
                                   true}}));
        std::unique_ptr<Command> pCommand =
            rCase.mMake(QString::fromStdString(server.GetUrl()), QString::fromStdString(folder.Path()));
        ExpectFailsAfter(*pCommand, std::chrono::milliseconds(900));
    }
}

// A server that keeps a reply flowing, but too slowly, is cut by the speed
// floor (the idle limit never fires); one above the floor is not.
TEST(ReplyWaitSpeedTest, AReplyBelowTheSpeedFloorFailsSayingSo)
{
    ServiceClientTimeouts limits = Scaled(30);
    limits.mSpeedFloorBytesPerSecond = 200;
    limits.mSpeedFloorSeconds = 2;
    ScopedTimeouts timeouts(limits);
    const auto reply = [](std::size_t padding) {
        return simserver::ScriptedHttpServer::SoapReply("<jox:LogStatusResponse><Padding>" + std::string(padding, 'p') +
                                                        "</Padding></jox:LogStatusResponse>");
    };
    // A long header dripped in one-byte receives brings no content: the
    // floor ends it, as the time goes to waiting for the network.
    std::string dripped = "HTTP/1.1 200 OK\r\n";
    while (dripped.size() < 200 * 1024)
        dripped += "a:\n";
    dripped += reply(0).substr(reply(0).find('\n') + 1);
    const struct
    {
        int mBytesPerSecond;
        std::string mReply;
        bool mCut;
    } cases[] = {{20, reply(0), true}, {2000, reply(5000), false}, {20000, dripped, true}};
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mBytesPerSecond);
        simserver::ScriptedHttpServer server;
        ASSERT_TRUE(server.Start({{rCase.mReply, false, rCase.mBytesPerSecond}}));
        CommandLogStatus status(QString::fromStdString(server.GetUrl()));
        const auto start = Clock::now();
        status.DoExecute();
        const auto elapsed = Clock::now() - start;
        if (!rCase.mCut)
        {
            EXPECT_EQ(JoxCore::StateSucceeded, status.GetState()) << status.GetMessagesText().toStdString();
            EXPECT_GT(elapsed, std::chrono::seconds(2)); // past a stretch of the floor
            continue;
        }
        EXPECT_EQ(JoxCore::StateFailed, status.GetState());
        EXPECT_GE(elapsed, std::chrono::milliseconds(1900));
        EXPECT_LT(elapsed, std::chrono::seconds(5));
        EXPECT_TRUE(status.GetMessagesText().contains("\"The server sends its reply too slowly\"\nDetail: less than 200 "
                                                      "bytes a second for 2 seconds"))
            << status.GetMessagesText().toStdString();
    }
}

// The floor judges the window that ends with each receive: a pause within
// the idle limit after a burst does not cut a reply whose last window holds
// enough, although everything since its first byte is below the floor's
// rate.
TEST(ReplyWaitSpeedTest, APauseAfterABurstIsJudgedOverTheWindowThatEndsWithIt)
{
    ServiceClientTimeouts limits = Scaled(30);
    limits.mReceiveIdleSeconds = 5;
    limits.mSpeedFloorBytesPerSecond = 1000;
    limits.mSpeedFloorSeconds = 4;
    ScopedTimeouts timeouts(limits);
    const std::string reply = simserver::ScriptedHttpServer::SoapReply(
        "<jox:LogStatusResponse><Padding>" + std::string(4400, 'p') + "</Padding></jox:LogStatusResponse>");
    ASSERT_LT(reply.size(), 5000u); // below 1000 bytes a second over the whole 5 s
    simserver::ScriptedHttpServer::Reply scripted(reply.substr(0, 300));
    scripted.mLater = {{std::chrono::milliseconds(2000), reply.substr(300, reply.size() - 400)},
                       {std::chrono::milliseconds(5000), reply.substr(reply.size() - 100)}};
    simserver::ScriptedHttpServer server;
    ASSERT_TRUE(server.Start({scripted}));
    CommandLogStatus status(QString::fromStdString(server.GetUrl()));
    status.DoExecute();
    EXPECT_EQ(JoxCore::StateSucceeded, status.GetState()) << status.GetMessagesText().toStdString();
}

// An informational reply is not the reply's beginning: the speed floor and
// the idle limit after a build wait start with the final reply's first
// byte. Nor does it lengthen the wait for that reply, however the bytes are
// split: each 102's end may come with the next one's first byte.
TEST(ReplyWaitSpeedTest, AnInformationalReplyNeitherStartsTheFloorNorLengthensTheWait)
{
    const std::string processing = "HTTP/1.1 102 Processing\r\n\r\n";
    const auto later = [&processing](std::vector<std::pair<std::chrono::milliseconds, std::string>> pieces) {
        simserver::ScriptedHttpServer::Reply reply(processing, true);
        reply.mLater = std::move(pieces);
        return reply;
    };
    // A 102 every 300 ms for 6 s, each sent with the last byte of the one
    // before: more often than the floor's window and the idle limit.
    const std::string open = processing.substr(0, processing.size() - 1);
    simserver::ScriptedHttpServer::Reply split(open, true);
    for (int i = 1; i <= 20; ++i)
        split.mLater.emplace_back(std::chrono::milliseconds(300 * i), "\n" + open);
    const std::string statusReply = simserver::ScriptedHttpServer::SoapReply("<jox:LogStatusResponse/>");
    const std::string collectReply = simserver::ScriptedHttpServer::SoapReply("<jox:LogCreateCollectionResponse/>");
    const struct
    {
        const char* mpName;
        bool mBuilds; // a collection is built first: the build wait applies
        int mIdleSeconds;
        int mBuildWaitSeconds;
        simserver::ScriptedHttpServer::Reply mReply;
        const char* mpFirstLine; // null: the reply arrives
    } cases[] = {
        {"the final reply two floor windows after a 102", false, 5, 30,
         later({{std::chrono::milliseconds(2500), statusReply}}), nullptr},
        {"a build beyond the idle limit after a 102", true, 1, 30,
         later({{std::chrono::milliseconds(2500), collectReply}}), nullptr},
        {"a 102 every half second and no final reply", false, 2, 30,
         later({{std::chrono::milliseconds(500), processing},
                {std::chrono::milliseconds(1000), processing},
                {std::chrono::milliseconds(1500), processing},
                {std::chrono::milliseconds(2000), processing},
                {std::chrono::milliseconds(2500), processing},
                {std::chrono::milliseconds(3000), processing}}),
         "The server did not answer within 2 s."},
        {"102s split with the next one's start and no final reply", false, 2, 30, split,
         "The server did not answer within 2 s."},
        {"102s split so during a build wait of 2 s", true, 1, 2, split, "The server did not answer within 2 s."},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        ServiceClientTimeouts limits = Scaled(rCase.mBuildWaitSeconds);
        limits.mReceiveIdleSeconds = rCase.mIdleSeconds;
        ScopedTimeouts timeouts(limits);
        simserver::ScriptedHttpServer server;
        ASSERT_TRUE(server.Start({rCase.mReply}));
        const QString url = QString::fromStdString(server.GetUrl());
        std::unique_ptr<Command> pCommand;
        if (rCase.mBuilds)
            pCommand = std::make_unique<CommandCollectLog>(url, LogEntryList());
        else
            pCommand = std::make_unique<CommandLogStatus>(url);
        const auto start = Clock::now();
        pCommand->DoExecute();
        const auto elapsed = Clock::now() - start;
        if (!rCase.mpFirstLine)
        {
            EXPECT_EQ(JoxCore::StateSucceeded, pCommand->GetState()) << pCommand->GetMessagesText().toStdString();
            continue;
        }
        EXPECT_EQ(JoxCore::StateFailed, pCommand->GetState());
        EXPECT_EQ(pCommand->GetFailureReason(), QString::fromUtf8(rCase.mpFirstLine))
            << pCommand->GetMessagesText().toStdString();
        EXPECT_GE(elapsed, std::chrono::milliseconds(1900));
        EXPECT_LT(elapsed, std::chrono::seconds(4));
    }
}

// Connects to address:port until it accepts or the time is up.
bool WaitUntilListening(const std::string& rAddress, int port, std::chrono::seconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline)
    {
        const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        ::inet_pton(AF_INET, rAddress.c_str(), &address.sin_addr);
        const bool accepted = ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(probe);
        if (accepted)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// The server's host drops off the network while it builds: nothing closes
// the connection, only the unanswered keepalive probes end the wait.
TEST(ReplyWaitVanishTest, AServerThatVanishesDuringTheBuildFailsWithinTheKeepaliveTime)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    tandriltest::TempDir folder;
    int subnet = 7;
    for (const BuildingCommand& rCase : kBuildingCommands)
    {
        SCOPED_TRACE(rCase.mName);
        // A subnet of its own each time: no neighbour entry of the last peer applies.
        const std::string prefix = "10.93." + std::to_string(subnet++) + ".";
        const std::string serverIp = prefix + "2";
        tandriltest::PeerNamespace peer;
        ASSERT_TRUE(peer.IsValid());
        ASSERT_FALSE(peer.AddLink(prefix + "1", serverIp).empty());
        ASSERT_GT(peer.Spawn({TANDRIL_SIMSERVER_PROGRAM, "--folder", folder.File("server"), "--address", serverIp,
                              "--port", "8080", "--build-delay", "120000"}),
                  0);
        ASSERT_TRUE(WaitUntilListening(serverIp, 8080, std::chrono::seconds(10)));

        ScopedTimeouts timeouts(Scaled(30));
        std::unique_ptr<Command> pCommand =
            rCase.mMake(QString::fromStdString("http://" + serverIp + ":8080"), QString::fromStdString(folder.Path()));
        std::future<void> done = std::async(std::launch::async, [&] { pCommand->DoExecute(); });
        // Well past the idle limit: the build wait holds the call.
        EXPECT_EQ(std::future_status::timeout, done.wait_for(std::chrono::milliseconds(2000)));
        ASSERT_TRUE(peer.Run("sh -c 'ip -br link | while read l rest; do l=${l%%@*}; [ $l = lo ] || ip link set $l down; done'"));
        const auto vanished = Clock::now();
        // Keepalive: 1 s idle, then 2 probes 1 s apart.
        ASSERT_EQ(std::future_status::ready, done.wait_for(std::chrono::seconds(15)));
        const auto elapsed = Clock::now() - vanished;
        EXPECT_EQ(JoxCore::StateFailed, pCommand->GetState());
        EXPECT_FALSE(pCommand->GetMessagesText().isEmpty());
        EXPECT_LT(elapsed, std::chrono::seconds(8));
    }
}

} // namespace
