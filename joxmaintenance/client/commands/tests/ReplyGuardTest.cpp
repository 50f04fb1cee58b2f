// The reply guard fed through scripted receive functions: the speed floor
// counts only the time spent waiting for the network, over a sliding window;
// a header is read in time linear in its size, and chunks alike, however
// they are split.
#include "ReplyGuard.h"

#include <stdsoap2.h>

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

using joxmaintenance::ReplyGuard;
using std::chrono::milliseconds;

namespace {

struct Piece
{
    milliseconds mWait;   // inside the receive, before the bytes come
    std::string mBytes;
    milliseconds mStall;  // after the receive, before the next (a slow local write)
};

struct Script
{
    std::vector<Piece> mPieces;
    std::size_t mNext = 0;
};

size_t ScriptedReceive(struct soap* pSoap, char* pBuffer, size_t length)
{
    auto& rScript = *static_cast<Script*>(pSoap->user);
    if (rScript.mNext == rScript.mPieces.size())
        return 0;
    Piece& rPiece = rScript.mPieces[rScript.mNext];
    std::this_thread::sleep_for(rPiece.mWait);
    rPiece.mWait = milliseconds(0);
    const std::size_t taken = std::min(length, rPiece.mBytes.size());
    rPiece.mBytes.copy(pBuffer, taken);
    rPiece.mBytes.erase(0, taken);
    if (rPiece.mBytes.empty())
        ++rScript.mNext;
    return taken;
}

// Reads the reply the way the runtime does, stalling after each piece as
// scripted; true when the guard ended it for its speed.
bool CutForSpeed(std::vector<Piece> pieces, int bytesPerSecond, int seconds)
{
    std::size_t bodyBytes = 0;
    for (const Piece& rPiece : pieces)
        bodyBytes += rPiece.mBytes.size();
    pieces.front().mBytes = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(bodyBytes) + "\r\n\r\n" +
                            pieces.front().mBytes;
    Script script{pieces};
    struct soap* pSoap = soap_new();
    pSoap->user = &script;
    pSoap->frecv = ScriptedReceive;
    ReplyGuard::Install(pSoap, {64 * 1024, bytesPerSecond, seconds});
    char buffer[SOAP_BUFLEN];
    while (pSoap->frecv(pSoap, buffer, sizeof buffer) > 0)
        std::this_thread::sleep_for(script.mPieces[script.mNext - 1].mStall);
    const bool cut = ReplyGuard::DescribeFailure(pSoap);
    const std::string fault = cut ? *soap_faultstring(pSoap) : "";
    soap_destroy(pSoap);
    soap_end(pSoap);
    soap_free(pSoap);
    EXPECT_TRUE(!cut || fault == "The server sends its reply too slowly") << fault;
    return cut;
}

TEST(ReplyGuardTest, TheSpeedFloorCountsOnlyTheWaitForTheNetworkOverASlidingWindow)
{
    const milliseconds none(0);
    const struct
    {
        const char* mpName;
        std::vector<Piece> mPieces;
        int mSeconds; // of the floor's window, at 1000 bytes a second
        bool mCut;
    } cases[] = {
        {"slow local writes between quick receives",
         {{none, std::string(500, 'a'), milliseconds(1200)},
          {none, std::string(500, 'b'), milliseconds(1200)},
          {none, std::string(500, 'c'), milliseconds(1200)},
          {none, std::string(500, 'd'), none}},
         1, false},
        // Judged over the window that ends with the last piece, which holds
        // the burst before the pause; not over everything since the first byte.
        {"a pause within the window after a burst",
         {{none, std::string(300, 'a'), none},
          {milliseconds(1500), std::string(4400, 'b'), none},
          {milliseconds(3500), std::string(100, 'c'), none}},
         4, false},
        {"a reply slower than the floor",
         std::vector<Piece>(12, Piece{milliseconds(250), std::string(100, 'x'), none}), 1, true},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        EXPECT_EQ(rCase.mCut, CutForSpeed(rCase.mPieces, 1000, rCase.mSeconds));
    }
}

// The CPU time of the calling thread.
std::chrono::nanoseconds ThreadCpuTime()
{
    timespec time{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
}

// Bytes handed out one at a time, until they run out or the thread has used
// up its CPU budget (looked at every 4 KiB).
struct Drip
{
    std::string mBytes;
    std::size_t mAt = 0;
    std::chrono::nanoseconds mBudget;
};

size_t DripReceive(struct soap* pSoap, char* pBuffer, size_t length)
{
    auto& rDrip = *static_cast<Drip*>(pSoap->user);
    if (length == 0 || rDrip.mAt == rDrip.mBytes.size() || (rDrip.mAt % 4096 == 0 && ThreadCpuTime() > rDrip.mBudget))
        return 0;
    *pBuffer = rDrip.mBytes[rDrip.mAt++];
    return 1;
}

TEST(ReplyGuardTest, AHeaderInOneByteReceivesIsReadInLinearTime)
{
    const auto header = [](const std::string& rLine, std::size_t bytes) {
        std::string text = "HTTP/1.1 200 OK\r\n";
        while (text.size() + rLine.size() < bytes)
            text += rLine;
        return text + "\r\n";
    };
    const std::string longLine = "X-Padding: " + std::string(1000, 'p') + "\r\n";
    const std::size_t under = ReplyGuard::kHeaderBytes - 64;
    const struct
    {
        const char* mpName;
        std::string mHeader;
        bool mRead; // else refused as too long
    } cases[] = {
        {"long lines, under the bound", header(longLine, under), true},
        {"two-byte lines, under the bound", header("a:\n", under), true},
        {"long lines beyond the bound", header(longLine, ReplyGuard::kHeaderBytes + 4096), false},
        {"two-byte lines beyond the bound", header("a:\n", ReplyGuard::kHeaderBytes + 4096), false},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        const std::chrono::nanoseconds start = ThreadCpuTime();
        const std::chrono::seconds allowed(1);
        Drip drip{rCase.mHeader + "body", 0, start + allowed * 5};
        struct soap* pSoap = soap_new();
        pSoap->user = &drip;
        pSoap->frecv = DripReceive;
        ReplyGuard::Install(pSoap, {64 * 1024, 0, 0});
        std::string read;
        char buffer[SOAP_BUFLEN];
        for (size_t received = 0; (received = pSoap->frecv(pSoap, buffer, sizeof buffer)) > 0;)
            read.append(buffer, received);
        const std::chrono::nanoseconds used = ThreadCpuTime() - start;
        const bool refused = ReplyGuard::DescribeFailure(pSoap);
        const std::string fault = refused ? *soap_faultstring(pSoap) : "";
        soap_destroy(pSoap);
        soap_end(pSoap);
        soap_free(pSoap);
        EXPECT_LT(used, allowed);
        if (rCase.mRead)
            EXPECT_EQ("HTTP/1.1 200 OK\r\n\r\nbody", read) << fault;
        else
            EXPECT_EQ("The reply's HTTP header is too long", fault);
    }
}

// Bytes handed out up to mStep at a time.
struct Feed
{
    std::string mBytes;
    std::size_t mStep;
    std::size_t mAt = 0;
};

size_t FeedReceive(struct soap* pSoap, char* pBuffer, size_t length)
{
    auto& rFeed = *static_cast<Feed*>(pSoap->user);
    const std::size_t taken = std::min({length, rFeed.mStep, rFeed.mBytes.size() - rFeed.mAt});
    rFeed.mBytes.copy(pBuffer, taken, rFeed.mAt);
    rFeed.mAt += taken;
    return taken;
}

// A chunk's data ends with CRLF or a line feed alone, also when the line
// break comes in receives of its own; any other byte after the data is
// refused, and no byte of data is read as a size.
TEST(ReplyGuardTest, AChunksDataEndsWithALineBreakHoweverTheBytesAreSplit)
{
    const std::string header = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    const char* const malformed = "The reply's HTTP chunks are malformed";
    const struct
    {
        const char* mpName;
        std::string mChunks;
        const char* mpRead; // what the runtime gets after the header; null: refused as malformed
    } cases[] = {
        {"CRLF", "3\r\nabc\r\n4;x=y\r\ndefg\r\n0\r\n\r\n", "abcdefg"},
        {"a line feed alone", "3\nabc\n4\ndefg\n0\n\n", "abcdefg"},
        {"a size too short", "3\r\nabcdef\r\n0\r\n\r\n", nullptr},
        {"the next size at once", "3\r\nabc4\r\ndefg\r\n0\r\n\r\n", nullptr},
        {"a carriage return alone", "3\r\nabc\r4\r\ndefg\r\n0\r\n\r\n", nullptr},
        {"a blank before the line break", "3\r\nabc \r\n0\r\n\r\n", nullptr},
    };
    for (const auto& rCase : cases)
    {
        for (const std::size_t step : {std::size_t{1}, std::size_t{2}, std::size_t{SOAP_BUFLEN}})
        {
            SCOPED_TRACE(std::string(rCase.mpName) + ", " + std::to_string(step) + " bytes a receive");
            Feed feed{header + rCase.mChunks, step};
            struct soap* pSoap = soap_new();
            pSoap->user = &feed;
            pSoap->frecv = FeedReceive;
            ReplyGuard::Install(pSoap, {64 * 1024, 0, 0});
            std::string read;
            char buffer[SOAP_BUFLEN];
            for (size_t received = 0; (received = pSoap->frecv(pSoap, buffer, sizeof buffer)) > 0;)
                read.append(buffer, received);
            const bool refused = ReplyGuard::DescribeFailure(pSoap);
            const std::string fault = refused ? *soap_faultstring(pSoap) : "";
            soap_destroy(pSoap);
            soap_end(pSoap);
            soap_free(pSoap);
            if (rCase.mpRead)
                EXPECT_EQ("HTTP/1.1 200 OK\r\n\r\n" + std::string(rCase.mpRead), read) << fault;
            else
                EXPECT_EQ(malformed, fault) << read;
        }
    }
}

} // namespace
