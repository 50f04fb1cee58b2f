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
    // Stores the rate and, unless "no limit" is set, the code-stream size.
    // Refused (false, nothing stored) for a negative rate, or when the size
    // cannot be computed: no positive frame rate, or a size beyond 2^53.
    bool SetConstantBitRate(int rate);
    bool GetConstantNoLimit() const;
    // Set: the code-stream size becomes "-1". Cleared: the size is computed
    // again from the stored rate; refused (false, nothing stored) when that
    // is not possible.
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
};

} // namespace JoxCore
