#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

struct soap;

namespace joxmaintenance {

// Bounds on how a reply arrives, which the runtime's size limit and idle
// limit do not give: it sits in front of a context's receive function and
// ends the reply (the receive reports the end of input) when
// - more bytes than a chunk-size line may take arrive without any of them
//   being counted as content (the runtime skips a chunk-size line and its
//   extensions without counting them), or
// - from the reply's first byte on, a stretch of the floor's length passes
//   with fewer bytes than the floor's rate asks for.
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

    // Wraps the context's current receive function for the rest of the
    // context's life; throws std::runtime_error when that fails.
    static void Install(struct soap* pSoap, const Limits& rLimits);
    // When the guard ended the reply, sets the context's fault to say why
    // (keeping the error code) and returns true.
    static bool DescribeFailure(struct soap* pSoap);

    ReplyGuard(const ReplyGuard&) = delete;
    ReplyGuard& operator=(const ReplyGuard&) = delete;

private:
    using Clock = std::chrono::steady_clock;
    enum class Failure
    {
        None,
        ChunkLine,
        TooSlow
    };

    ReplyGuard(size_t (*pReceive)(struct soap*, char*, size_t), const Limits& rLimits);
    static size_t Receive(struct soap* pSoap, char* pBuffer, size_t length);
    // Checks the bytes just received; false when the reply must end.
    bool Accept(const struct soap* pSoap, std::size_t received);

    size_t (*mpReceive)(struct soap*, char*, size_t);
    Limits mLimits;
    Failure mFailure = Failure::None;
    std::uint64_t mLastCount = 0;     // the runtime's content count at the last receive
    std::size_t mUncountedBytes = 0;  // received since that count last grew
    bool mStarted = false;            // the reply's first byte arrived
    Clock::time_point mStretchStart;  // start of the stretch the floor is checked over
    std::uint64_t mStretchBytes = 0;  // received in it
};

} // namespace joxmaintenance
