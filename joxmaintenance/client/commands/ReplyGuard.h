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

// Bounds on how a reply arrives, which the runtime's size limit and idle
// limit do not give. It sits in front of a context's receive function and
// reads the reply's HTTP framing itself: the runtime gets the final HTTP
// header (informational replies left out, and without the Content-Length and
// Transfer-Encoding fields, which the guard honours) and then the body
// decoded, up to the end the framing gives. So the runtime never compares a
// chunk's size or a declared length with its size limit: a collection may
// come in one chunk of any size. The guard ends the reply (the receive
// reports the end of input) when
// - the HTTP header is too long, declares a length that is not a number, or
//   a chunk-size line is malformed or longer than its bound;
// - the bytes that carry no content (HTTP chunk framing and informational
//   replies, and the DIME framing the watched download target accounts)
//   exceed a fixed allowance plus a share of the content;
// - from the reply's first byte on, a window of the floor's length of time
//   spent waiting for the network brings less content than the floor's rate
//   asks for (time spent elsewhere, such as writing the file, is not counted).
// The time before the first byte belongs to the idle and build waits.
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

    // Wraps the context's current receive function for the rest of the
    // context's life; throws std::runtime_error when that fails.
    static void Install(struct soap* pSoap, const Limits& rLimits);
    // When the guard ended the reply, sets the context's fault to say why
    // (keeping the error code) and returns true.
    static bool DescribeFailure(struct soap* pSoap);
    // Counts the DIME framing pTarget accounts as bytes without content, from
    // now on until called again (null: none); the target must outlive that.
    static void Watch(struct soap* pSoap, const joxwsstreaming::DownloadTarget* pTarget);

    ReplyGuard(const ReplyGuard&) = delete;
    ReplyGuard& operator=(const ReplyGuard&) = delete;

private:
    using Clock = std::chrono::steady_clock;
    enum class Failure
    {
        None,
        ChunkLine,
        MalformedChunk,
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
    // The underlying receive, timed.
    size_t Wait(struct soap* pSoap, char* pBuffer, size_t length);
    // Takes the header once it is whole: informational replies are dropped,
    // the final header goes to mOutput with the body bytes after it.
    void TakeHeader();
    // Reads the header's framing fields; false (with the failure) when they
    // are not acceptable. Drops the fields the guard honours from rLines,
    // except the length of a reply the runtime does not read as SOAP
    // (status): it reads such a body, the server's text, only by its length.
    bool ReadFraming(std::string& rLines, int status);
    // Decodes the body bytes in place; returns how many content bytes are left at pData.
    std::size_t DecodeBody(char* pData, std::size_t length);
    // After a chunk-size line: its chunk's data, or the body's end.
    void EndChunkLine();
    // Checks the framing and speed bounds after a receive; false when the reply must end.
    bool WithinBounds();
    std::uint64_t DimeFraming() const;
    void Fail(Failure failure) { mFailure = failure; }

    size_t (*mpReceive)(struct soap*, char*, size_t);
    Limits mLimits;
    const joxwsstreaming::DownloadTarget* mpTarget = nullptr;
    Failure mFailure = Failure::None;
    Phase mPhase = Phase::Header;
    std::string mHeader;        // header bytes received, not yet whole
    std::string mOutput;        // bytes for the runtime before any more are received
    std::size_t mOutputAt = 0;  // how many of them it took
    std::uint64_t mLeft = 0;    // of the body or the current chunk
    std::uint64_t mChunkSize = 0;
    bool mChunkHasDigit = false; // the current chunk-size line has begun its size
    std::size_t mLineBytes = 0; // of the current chunk-size line
    std::uint64_t mBodyBytes = 0;    // body bytes handed to the runtime
    std::uint64_t mFramingBytes = 0; // HTTP bytes without content
    std::uint64_t mDimeFramingBytes = 0; // the watched target's, when last checked
    bool mStarted = false;           // the reply's first byte arrived
    Clock::duration mWaited{};       // spent waiting for the network since then
    std::deque<Sample> mSamples;     // over the last window, oldest first
};

} // namespace joxmaintenance
