#pragma once

#include <joxcore/CodecChoice.h>
#include <joxcore/CodecConfig.h>
#include <joxcore/CodecRange.h>

namespace JoxCore {

// H.264 with level and rate control. Video bit rates are in kbit/s.
class CodecConfigH264 : public CodecConfig
{
public:
    CodecConfigH264();

    // A copy of pSource when it is an H.264 configuration; else empty.
    void SetDefaults(const CodecConfig* pSource) override;

    int GetProfile() const;
    // Lowers a speed preset above "Medium" first when the new profile is 4 or 6.
    void SetProfile(int profile);
    int GetLevel() const;
    void SetLevel(int level);
    int GetChroma() const;
    void SetChroma(int chroma);
    int GetRateControl() const;
    void SetRateControl(int mode);
    int GetSpeedPreset() const;
    void SetSpeedPreset(int preset);
    int GetAudioCodec() const;
    void SetAudioCodec(int codec);
    int GetAudioBitrate() const;
    void SetAudioBitrate(int bitrate);
    int GetVideoBitrate() const;
    // Lowered to a stored maximum rate when that is smaller, then clamped to
    // GetVideoRange.
    void SetVideoBitrate(int bitrate);
    int GetVideoMaxrate() const;
    // Clamped to GetVideoRange; a stored bit rate above it is lowered first.
    void SetVideoMaxrate(int maxrate);
    int GetGopSize() const;
    // Clamped to 1..120.
    void SetGopSize(int size);

    // 1000 kbit/s up to H264MaxBitrate of the stored level and profile (never
    // below the minimum).
    CodecRange GetVideoRange() const;

    // MaxBR in kbit/s of the level code (0 level 1, 1 level 1b, ... 14 level
    // 5, other codes level 5.1) times the factor of the profile code.
    static int H264MaxBitrate(int level, int profile);

    CodecChoiceList GetProfileChoices() const;
    CodecChoiceList GetLevelChoices() const;
    CodecChoiceList GetChromaChoices() const;
    CodecChoiceList GetRateControlChoices() const;
    CodecChoiceList GetSpeedPresetChoices() const;
    CodecChoiceList GetAudioCodecChoices() const;
    CodecChoiceList GetAudioBitrateChoices() const;
};

} // namespace JoxCore
