#include <joxcore/CodecConfigH264.h>

#include <QCoreApplication>

#include <algorithm>

namespace JoxCore {

namespace {

const QByteArray mpProfile("ffmedia_profile");
const QByteArray mpLevel("ffmedia_level");
const QByteArray mpChroma("ffmedia_chroma");
const QByteArray mpRateControl("ffmedia_rcmode");
const QByteArray mpSpeedPreset("ffmedia_spreset");
const QByteArray mpAudioCodec("ffmedia_acodec");
const QByteArray mpAudioBitrate("ffmedia_abitrate");
const QByteArray mpVideoBitrate("ffmedia_vbitrate");
const QByteArray mpVideoMaxrate("ffmedia_vmaxrate");
const QByteArray mpGopSize("ffmedia_gopsize");

const int mpMinimumBitrate = 1000;

// MaxBR (kbit/s) of levels 1, 1b, 1.1, 1.2, 1.3, 2, 2.1, 2.2, 3, 3.1, 3.2,
// 4, 4.1, 4.2, 5; every other code is level 5.1.
const int mpLevelMaxBitrates[] = {64,    128,   192,   384,   768,   2000,  4000, 4000,
                                  10000, 14000, 20000, 20000, 50000, 50000, 135000};
const int mpLevel51MaxBitrate = 240000;

QString Tr(const char* pText)
{
    return QCoreApplication::translate("JoxCore::CodecConfigH264", pText, "CodecConfigH264");
}

bool IsHighProfileWithoutSlow(int profile)
{
    return profile == 4 || profile == 6;
}

} // namespace

CodecConfigH264::CodecConfigH264() = default;

void CodecConfigH264::SetDefaults(const CodecConfig* pSource)
{
    if (!CopyIfSameKind(*this, pSource))
        Clear();
}

int CodecConfigH264::GetProfile() const { return GetOptionInt(mpProfile); }

void CodecConfigH264::SetProfile(int profile)
{
    if (IsHighProfileWithoutSlow(profile) && GetSpeedPreset() > 1)
        SetSpeedPreset(1);
    SetOptionInt(mpProfile, ValidateChoice(GetProfileChoices(), profile));
}

int CodecConfigH264::GetLevel() const { return GetOptionInt(mpLevel); }
void CodecConfigH264::SetLevel(int level) { SetOptionInt(mpLevel, ValidateChoice(GetLevelChoices(), level)); }
int CodecConfigH264::GetChroma() const { return GetOptionInt(mpChroma); }
void CodecConfigH264::SetChroma(int chroma) { SetOptionInt(mpChroma, ValidateChoice(GetChromaChoices(), chroma)); }
int CodecConfigH264::GetRateControl() const { return GetOptionInt(mpRateControl); }
void CodecConfigH264::SetRateControl(int mode) { SetOptionInt(mpRateControl, ValidateChoice(GetRateControlChoices(), mode)); }
int CodecConfigH264::GetSpeedPreset() const { return GetOptionInt(mpSpeedPreset); }
void CodecConfigH264::SetSpeedPreset(int preset) { SetOptionInt(mpSpeedPreset, ValidateChoice(GetSpeedPresetChoices(), preset)); }
int CodecConfigH264::GetAudioCodec() const { return GetOptionInt(mpAudioCodec); }
void CodecConfigH264::SetAudioCodec(int codec) { SetOptionInt(mpAudioCodec, ValidateChoice(GetAudioCodecChoices(), codec)); }
int CodecConfigH264::GetAudioBitrate() const { return GetOptionInt(mpAudioBitrate); }
void CodecConfigH264::SetAudioBitrate(int bitrate) { SetOptionInt(mpAudioBitrate, ValidateChoice(GetAudioBitrateChoices(), bitrate)); }
int CodecConfigH264::GetVideoBitrate() const { return GetOptionInt(mpVideoBitrate); }

void CodecConfigH264::SetVideoBitrate(int bitrate)
{
    // Only a maximum that is actually stored limits the bit rate; the clamp
    // comes last so the result always lies in the range.
    int value = bitrate;
    if (Options().contains(mpVideoMaxrate))
        value = std::min(value, GetVideoMaxrate());
    SetOptionInt(mpVideoBitrate, GetVideoRange().Clamp(value));
}

int CodecConfigH264::GetVideoMaxrate() const { return GetOptionInt(mpVideoMaxrate); }

void CodecConfigH264::SetVideoMaxrate(int maxrate)
{
    const int clamped = GetVideoRange().Clamp(maxrate);
    if (clamped < GetVideoBitrate())
        SetOptionInt(mpVideoBitrate, clamped);
    SetOptionInt(mpVideoMaxrate, clamped);
}

int CodecConfigH264::GetGopSize() const { return GetOptionInt(mpGopSize); }
void CodecConfigH264::SetGopSize(int size) { SetOptionInt(mpGopSize, CodecRange{1, 120}.Clamp(size)); }

CodecRange CodecConfigH264::GetVideoRange() const
{
    return {mpMinimumBitrate, std::max(mpMinimumBitrate, H264MaxBitrate(GetLevel(), GetProfile()))};
}

int CodecConfigH264::H264MaxBitrate(int level, int profile)
{
    const int count = static_cast<int>(sizeof mpLevelMaxBitrates / sizeof mpLevelMaxBitrates[0]);
    const int maxBitrate = level >= 0 && level < count ? mpLevelMaxBitrates[level] : mpLevel51MaxBitrate;
    switch (profile) {
    case 0:
    case 1:
        return maxBitrate;
    case 3:
        return maxBitrate * 5 / 4;
    case 4:
        return maxBitrate * 3;
    default:
        return maxBitrate * 4;
    }
}

CodecChoiceList CodecConfigH264::GetProfileChoices() const
{
    return {{0, Tr("Baseline")}, {1, Tr("Main")}, {3, Tr("High")}, {4, Tr("High10")}, {6, Tr("High422")}};
}

CodecChoiceList CodecConfigH264::GetLevelChoices() const
{
    return {{8, Tr("3.0")}, {9, Tr("3.1")}, {10, Tr("3.2")}, {11, Tr("4.0")}};
}

CodecChoiceList CodecConfigH264::GetChromaChoices() const
{
    if (GetProfile() == 6)
        return {{1, Tr("4:2:2")}, {0, Tr("4:2:0")}};
    return {{0, Tr("4:2:0")}};
}

CodecChoiceList CodecConfigH264::GetRateControlChoices() const
{
    CodecChoiceList list{{0, Tr("Average bitrate")}};
    for (int crf = 18; crf <= 25; ++crf)
        list.append({crf - 17, Tr("CRF%1").arg(crf)});
    return list;
}

CodecChoiceList CodecConfigH264::GetSpeedPresetChoices() const
{
    CodecChoiceList list{{0, Tr("Fast")}, {1, Tr("Medium")}};
    if (!IsHighProfileWithoutSlow(GetProfile()))
        list.append({2, Tr("Slow")});
    return list;
}

CodecChoiceList CodecConfigH264::GetAudioCodecChoices() const
{
    return {{0, Tr("AAC")}};
}

CodecChoiceList CodecConfigH264::GetAudioBitrateChoices() const
{
    CodecChoiceList list;
    for (int rate : {64, 96, 112, 128, 160, 192, 224, 256, 320, 384})
        list.append({rate, Tr("%1 Kbit/s").arg(rate)});
    return list;
}

} // namespace JoxCore
