#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

struct soap;

namespace joxwsstreaming {
class DownloadTarget;
}

namespace joxmaintenance {

class ReplyHeader;

// Bounds on how a reply arrives, which the runtime's size limit and idle
// limit do not give. It sits in front of a context's receive function and
// alone reads the reply's HTTP framing (see ReplyHeader): the runtime never
// sees the server's header, but one the guard writes (the status line, the
// Content-Type, and a Content-Length only where the runtime reads a body by
// its length), followed by the body decoded up to the end that its length,
// its last chunk or the end of the connection gives. Informational replies
// are left out. So the runtime never decodes chunks nor compares a chunk's
// size or a declared length with its size limit: a collection may come in
// one chunk of any size. The runtime reads the body of a reply it does not
// read as SOAP (an HTTP error) only by its length: the guard gathers the
// first kErrorBodyBytes of it and hands them on with their length. A 400 or
// 500 it reads as SOAP, for a fault: the guard keeps the first
// kErrorBodyBytes of it for DescribeErrorBody. The guard ends the reply (the
// receive reports the end of input) when
// - the header is one ReplyHeader refuses, or is longer than kHeaderBytes;
// - a chunk-size line is malformed, declares a size beyond 64 bits or is
//   longer than its bound, or a chunk's data is not followed by a line break;
// - the bytes that carry no content (HTTP chunk framing and informational
//   replies, and the DIME framing the watched download target accounts)
//   exceed a fixed allowance plus a share of the content;
// - from the first byte of the final reply on (or of an informational reply,
//   until it is whole), a window of the floor's length of time spent waiting
//   for the network brings less content than the floor's rate asks for (time
//   spent elsewhere, such as writing the file, is not counted).
// The time before a reply's first byte belongs to the idle and build waits;
// informational replies do not lengthen them: the wait the context had for
// the reply's first byte bounds the time until the final reply's status line
// is read, however the replies before it are split.
class ReplyGuard
{
public:
    struct Limits
    {
        std::size_t mChunkLineBytes = 0;
        int mFloorBytesPerSecond = 0; // 0: no speed floor
        int mFloorSeconds = 0;
    };

    // What the bytes without content may take: this much, plus as many bytes
    // as the content. The bound ends a reply that sends framing for ever
    // without content, which the size limit and the speed floor (both count
    // content) would not end. Any fixed share of the content does that and
    // bounds the bytes read, so the time spent, per byte of content (here at
    // most two, past the allowance); the share is wide because legitimate
    // framings need a good part of it: DIME chunk records of 1 KiB that each
    // repeat a 40-byte id, a type and a 255-byte name, each in an HTTP chunk
    // of its own, carry about 340 bytes without content per KiB of content,
    // and about 790 with an id and a type of 255 bytes too. The allowance
    // covers what precedes the content: headers, informational replies and
    // the first record headers.
    static constexpr std::uint64_t kFramingAllowanceBytes = 1024 * 1024;
    // The most the HTTP header may take, informational replies included.
    static constexpr std::size_t kHeaderBytes = 1024 * 1024;
    // The most of an HTTP error reply's body the runtime gets.
    static constexpr std::size_t kErrorBodyBytes = 64 * 1024;

    // What the guard has seen of the reply, for an account of how it ended.
    struct Progress
    {
        std::uint64_t mReceivedBytes = 0; // from the network, informational replies left out
        bool mComplete = false;           // its own framing ended it: the runtime got all of it
        int mStatus = 0;                  // of the final reply, once its header is whole
        // The wait for the final reply (the context's units: seconds, or
        // microseconds when negative) when it ran out before the final
        // reply's status line came; 0 otherwise.
        int mUnansweredWait = 0;
    };

    // Wraps the context's current receive function for the rest of the
    // context's life; throws std::runtime_error when that fails.
    static void Install(struct soap* pSoap, const Limits& rLimits);
    // When the guard ended the reply, sets the context's fault to say why
    // (keeping the error code) and returns true.
    static bool DescribeFailure(struct soap* pSoap);
    // When the runtime found no fault in a 400 or 500 reply (the context
    // holds no fault string nor detail), sets the body's first
    // kErrorBodyBytes as the fault's detail, as the runtime does with the
    // bodies of other error statuses, and returns true.
    static bool DescribeErrorBody(struct soap* pSoap);
    // Counts the DIME framing pTarget accounts as bytes without content, from
    // now on until called again (null: none); the target must outlive that.
    static void Watch(struct soap* pSoap, const joxwsstreaming::DownloadTarget* pTarget);
    // A context without a guard has a Progress of none.
    static Progress GetProgress(const struct soap* pSoap);

    ReplyGuard(const ReplyGuard&) = delete;
    ReplyGuard& operator=(const ReplyGuard&) = delete;

private:
    using Clock = std::chrono::steady_clock;
    enum class Failure
    {
        None,
        Unreadable, // mRefusal says why
        ChunkLine,
        MalformedChunk,
        UnendedChunk,
        ChunkTooLarge,
        HeaderTooLong,
        BadLength,
        Framing,
        TooSlow
    };
    enum class Phase
    {
        Header,
        Length,  // a body of mLeft more bytes
        Closed,  // a body that ends with the connection
        ChunkSize,
        ChunkExtension,
        ChunkData,
        ChunkDataEnd,      // the line break after a chunk's data
        ChunkDataLineFeed, // its line feed, after a carriage return
        Done
    };
    // The content received by an amount of network waiting.
    struct Sample
    {
        Clock::duration mWaited;
        std::uint64_t mContent;
    };

    ReplyGuard(size_t (*pReceive)(struct soap*, char*, size_t), const Limits& rLimits);
    static size_t Receive(struct soap* pSoap, char* pBuffer, size_t length);
    size_t Read(struct soap* pSoap, char* pBuffer, size_t length);
    // The underlying receive, timed; until the final reply's status line is
    // read, with the rest of the wait for it as its idle limit.
    size_t Wait(struct soap* pSoap, char* pBuffer, size_t length);
    // The end of the header being received, or npos while it is not whole;
    // resumes where the last call stopped. Reads its status line once that is whole.
    std::size_t HeaderEnd();
    // Takes every header that is whole: informational replies are dropped,
    // the final one begins the body (Begin).
    void TakeHeader();
    // Writes the runtime's header for rHeader, held (see Take), and decodes
    // the body bytes that came with it.
    void Begin(const ReplyHeader& rHeader, std::string& rBody);
    // Decodes the body bytes in place; returns how many content bytes are left at pData.
    std::size_t DecodeBody(char* pData, std::size_t length);
    // After a chunk-size line: its chunk's data, or the body's end.
    void EndChunkLine();
    // Takes content decoded from the body: while the runtime's header is
    // held, keeps it (the first kErrorBodyBytes of an error reply's body, or
    // the first content of another) and hands the header on with it once it
    // can; returns how much of it is still for the runtime.
    std::size_t Take(const char* pContent, std::size_t length);
    // Hands the held header on with rContent, with its length when asked.
    void HandOnHeld(const char* pContent, std::size_t length, bool withLength);
    void StartFloor();
    // Checks the framing and speed bounds after a receive; false when the reply must end.
    bool WithinBounds();
    std::uint64_t DimeFraming() const;
    void Fail(Failure failure) { mFailure = failure; }

    size_t (*mpReceive)(struct soap*, char*, size_t);
    Limits mLimits;
    const joxwsstreaming::DownloadTarget* mpTarget = nullptr;
    Failure mFailure = Failure::None;
    std::string mRefusal; // what made the reply unreadable
    Phase mPhase = Phase::Header;
    std::string mHeader;        // header bytes received, not yet taken
    std::size_t mHeaderAt = 0;  // where in them the header being received begins
    std::size_t mLineAt = 0;    // where the line the search for its end is in begins
    std::size_t mScanAt = 0;    // where that search goes on
    std::uint64_t mInformationalBytes = 0; // of the informational replies taken
    bool mFinalBegun = false;   // the final reply's status line was read
    int mStatus = 0;            // of the final reply, once its header is taken
    std::string mOutput;        // bytes for the runtime before any more are received
    std::size_t mOutputAt = 0;  // how many of them it took
    std::string mHeld;          // the runtime's header, without its end, until it can be handed on
    bool mGathering = false;    // the body of an error reply, for mHeld
    std::string mGathered;
    bool mKeeping = false;      // the body of a 400 or 500, for DescribeErrorBody
    std::string mKept;
    bool mComplete = false;     // the reply's own framing ended it
    std::uint64_t mLeft = 0;    // of the body or the current chunk
    std::uint64_t mChunkSize = 0;
    bool mChunkHasDigit = false; // the current chunk-size line has begun its size
    std::size_t mLineBytes = 0; // of the current chunk-size line
    std::uint64_t mReceivedBytes = 0; // from the network
    std::uint64_t mBodyBytes = 0;    // decoded body bytes
    std::uint64_t mFramingBytes = 0; // HTTP bytes without content
    std::uint64_t mDimeFramingBytes = 0; // the watched target's, when last checked
    bool mWaitBegun = false;         // the first receive of the reply began
    Clock::time_point mWaitStart;    // then
    int mWaitLimit = 0;              // the context's idle limit then (its units)
    bool mWaitRanOut = false;        // before the final reply's status line came
    bool mFloorRunning = false;      // a reply's first byte arrived
    Clock::duration mWaited{};       // spent waiting for the network since then
    std::deque<Sample> mSamples;     // over the last window, oldest first
};

} // namespace joxmaintenance
