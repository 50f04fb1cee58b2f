#pragma once

#include <joxcore/BaseTimecodeConverter.h>

namespace JoxCore {

// A converter for a whole number of frames per second without drop-frame
// rules: a timecode is hours:minutes:seconds:frames, each at least two
// digits, hours not wrapped at a day. A negative position, or a frame rate
// below 1, has no timecode (the empty text); offsets and durations take a
// leading "-" when negative. The context pointer is not used.
class SimpleTimecodeConverter : public BaseTimecodeConverter
{
    Q_OBJECT

public:
    explicit SimpleTimecodeConverter(int framesPerSecond = 25, QObject* pParent = nullptr);
    ~SimpleTimecodeConverter() override;

    int GetFramesPerSecond() const { return mFramesPerSecond; }
    // Emits UpdateTimecode when the rate changes.
    void SetFramesPerSecond(int framesPerSecond);

    int GetTimecodeMode() const override { return mMode; }
    // 0 frames, any other value timecode (stored as 1); emits UpdateTimecode
    // when the mode changes.
    void SetTimecodeMode(int mode) override;
    QString PositionToText(int64_t frames, void* pContext) const override;
    QString OffsetToText(int64_t frames, void* pContext) const override;
    QString DurationToText(int64_t frames, void* pContext) const override;

private:
    // The timecode of a frame count, "-" in front when negative.
    QString SignedText(int64_t frames) const;

    int mFramesPerSecond;
    int mMode = 0;
};

} // namespace JoxCore
