#pragma once

#include <joxcore/CodecChoice.h>
#include <joxcore/CodecConfig.h>
#include <joxcore/CodecRange.h>

#include <QUuid>

namespace JoxCore {

// MPEG-2 video and audio, with the preset table of Mpeg2Presets.h. Bit rates
// are in bit/s.
class CodecConfigMPEG2 : public CodecConfig
{
public:
    // Starts from the factory defaults.
    CodecConfigMPEG2();
    ~CodecConfigMPEG2() override;
    CodecConfigMPEG2(const CodecConfigMPEG2& rOther);
    CodecConfigMPEG2& operator=(const CodecConfigMPEG2& rOther);

    // A copy of pSource when it is an MPEG-2 configuration; else the factory
    // defaults with the null preset UUID.
    void SetDefaults(const CodecConfig* pSource) override;

    int GetProfile() const;
    void SetProfile(int profile);
    int GetLevel() const;
    void SetLevel(int level);
    // 1 4:2:0, 2 4:2:2.
    int GetChromaFormat() const;
    void SetChromaFormat(int format);
    // 1 constant, 0 variable.
    int GetBitrateMode() const;
    void SetBitrateMode(int mode);
    int GetAverageBitrate() const;
    int GetMaxBitrate() const;
    int GetMinBitrate() const;
    // The smaller of the first two becomes the minimum, the larger the
    // maximum; unless the mode is constant the average is first limited to
    // them. Each is stored clamped to GetBitrateRange: minimum, maximum, average.
    void SetBitrates(int minimum, int maximum, int average);
    // GOP length N, clamped to 1..27.
    int GetGopN() const;
    void SetGopN(int n);
    // Anchor distance M, clamped to 1..3.
    int GetGopM() const;
    void SetGopM(int m);
    // Clamped to 0..10; 0 means open GOPs.
    int GetClosedGopInterval() const;
    void SetClosedGopInterval(int interval);
    int GetDcPrecision() const;
    void SetDcPrecision(int precision);
    int GetMotionSearch() const;
    void SetMotionSearch(int search);
    int GetAudioBitrate() const;
    void SetAudioBitrate(int code);

    // 192000 bit/s up to the bound of the stored profile and level.
    CodecRange GetBitrateRange() const;
    // The editor's ranges of the GOP counts and the closed-GOP interval.
    CodecRange GetBFrameRange() const;
    CodecRange GetPFrameRange() const;
    CodecRange GetClosedGopIntervalRange() const;

    // The frame types of one GOP, "I BB P BB ... I", at most
    // mpGopTextFrameLimit frames (then ending in " ..."); an N of 1 or less
    // gives the I-frame-only text.
    QString GetGopStructureText() const;
    static constexpr int mpGopTextFrameLimit = 1000;

    // The UUID of the preset this configuration came from; null when none.
    QUuid GetPresetUuid() const;
    void SetPresetUuid(const QUuid& rUuid);
    // The index of the preset this configuration still equals; else 0.
    int GetPresetIndex() const;
    // Leaves a preset (back to the factory defaults), then takes the preset
    // of the index when there is one.
    void ApplyPreset(int index);
    CodecChoiceList GetPresetChoices() const;

    CodecChoiceList GetProfileChoices() const;
    CodecChoiceList GetLevelChoices() const;
    CodecChoiceList GetChromaFormatChoices() const;
    CodecChoiceList GetBitrateModeChoices() const;
    // Editor only: 0 closed, 1 open GOPs.
    CodecChoiceList GetGopTypeChoices() const;
    CodecChoiceList GetDcPrecisionChoices() const;
    CodecChoiceList GetMotionSearchChoices() const;
    CodecChoiceList GetAudioBitrateChoices() const;
};

} // namespace JoxCore
