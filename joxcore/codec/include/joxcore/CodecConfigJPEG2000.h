#pragma once

#include <joxcore/CodecConfig.h>

#include <optional>

namespace JoxCore {

// JPEG 2000 with a constant bit rate (Mbit/s) turned into a code-stream size
// per frame, the multi-component transform and the edit lag.
class CodecConfigJPEG2000 : public CodecConfig
{
public:
    CodecConfigJPEG2000();

    // A copy of pSource when it is a JPEG 2000 configuration; else empty.
    void SetDefaults(const CodecConfig* pSource) override;

    int GetConstantBitRate() const;
    // Stores the rate, then the code-stream size: "-1" while "no limit" is
    // set, else computed from the rate and the frame rate. A negative rate is
    // refused (false, nothing stored). Where no size can be computed (no
    // positive frame rate, a size beyond 2^53) the rate is kept, the size is
    // "-1" and the result is false.
    bool SetConstantBitRate(int rate);
    bool GetConstantNoLimit() const;
    // Stores the flag, then the code-stream size as SetConstantBitRate does;
    // false when the flag is cleared and no size can be computed (also from a
    // negative rate read from a document).
    bool SetConstantNoLimit(bool noLimit);
    // Frames per second (additional "frame_rate"); 0 when absent or not a number.
    double GetFrameRate() const;
    bool GetTransform() const;
    void SetTransform(bool transform);
    int GetEditLag() const;
    // Writes the edit lag to the effect "vtreditlag" and the option "flowdisplaylag".
    void SetEditLag(int frames);

    // Bytes per frame: rate / (frame rate x 8) x 1000000, rounded; empty when
    // the rate is negative, the frame rate is not a positive number or the
    // size exceeds 2^53.
    static std::optional<qint64> CodestreamSize(int rate, double frameRate);

private:
    // Writes "codestreamsize" from the stored flag, rate and frame rate;
    // false when it had to be left at "-1" for want of a size.
    bool UpdateCodestreamSize();
};

} // namespace JoxCore
