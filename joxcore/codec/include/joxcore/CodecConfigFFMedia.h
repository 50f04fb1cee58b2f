#pragma once

#include <joxcore/CodecChoice.h>
#include <joxcore/CodecConfig.h>
#include <joxcore/CodecRange.h>

namespace JoxCore {

// H.264 in an MPEG-4 file or an MPEG-2 transport stream, with a named user
// preset. Video bit rates are in kbit/s.
class CodecConfigFFMedia : public CodecConfig
{
public:
    enum FormatType { FormatMpeg4 = 50, FormatH264Stream = 51, FormatOther = 66 };
    enum UserPreset { PresetNone = 0, PresetCustom = 1, PresetProxy = 2, PresetBluray = 3,
                      PresetDailiesWeb = 4, PresetDailiesSd = 5, PresetDailies720p = 6 };

    CodecConfigFFMedia();

    // A copy of pSource when it is an FFMedia configuration; else empty.
    void SetDefaults(const CodecConfig* pSource) override;

    int GetFormat() const;
    void SetFormat(int format);
    int GetVideoCodec() const;
    void SetVideoCodec(int codec);
    int GetProfile() const;
    void SetProfile(int profile);
    // The range minimum when absent.
    int GetVideoBitrate() const;
    int GetVideoMaxrate() const;
    // Stores the maximum rate, then the bit rate limited to the requested
    // maximum, both clamped to GetVideoRange.
    void SetVideoBitrates(int bitrate, int maxrate);
    // -1 when absent.
    int GetGopSize() const;
    // Clamped to -1..120.
    void SetGopSize(int size);
    int GetRateControl() const;
    void SetRateControl(int mode);
    int GetSpeedPreset() const;
    void SetSpeedPreset(int preset);
    int GetVideoPreset() const;
    void SetVideoPreset(int preset);
    int GetAudioCodec() const;
    void SetAudioCodec(int codec);
    int GetAudioBitrate() const;
    void SetAudioBitrate(int bitrate);

    // 50 for "mpeg4", 51 for "h264stream", 66 otherwise (additional "formattype").
    int GetFormatType() const;
    // True when the additional "video" / "audio" is exactly "true".
    bool HasVideo() const;
    bool HasAudio() const;

    // kbit/s: 0..50000 for profiles 0 to 2, 0..62500 for profile 3, 0..0 otherwise.
    CodecRange GetVideoRange() const;

    // The code of the stored preset name; 0 when it is none of the six.
    int GetUserPreset() const;
    // Stores the name of the validated code, then writes the settings block
    // of the requested code.
    void SetUserPreset(int code);
    // The name stored for a preset code; "unknown" outside 1..6.
    static QString UserPresetName(int code);

    CodecChoiceList GetFormatChoices() const;
    CodecChoiceList GetVideoCodecChoices() const;
    CodecChoiceList GetProfileChoices() const;
    CodecChoiceList GetAudioCodecChoices() const;
    CodecChoiceList GetAudioBitrateChoices() const;
    CodecChoiceList GetUserPresetChoices() const;

private:
    void WritePresetBlock(int code);
};

} // namespace JoxCore
