#include <joxcore/CodecConfigFFMedia.h>

#include <QCoreApplication>

#include <algorithm>

namespace JoxCore {

namespace {

const QByteArray mpFormat("ffmedia_format");
const QByteArray mpVideoCodec("ffmedia_vcodec");
const QByteArray mpProfile("ffmedia_profile");
const QByteArray mpVideoBitrate("ffmedia_vbitrate");
const QByteArray mpVideoMaxrate("ffmedia_vmaxrate");
const QByteArray mpGopSize("ffmedia_gopsize");
const QByteArray mpRateControl("ffmedia_rcmode");
const QByteArray mpSpeedPreset("ffmedia_spreset");
const QByteArray mpVideoPreset("ffmedia_vpreset");
const QByteArray mpAudioCodec("ffmedia_acodec");
const QByteArray mpAudioBitrate("ffmedia_abitrate");
const QByteArray mpUserPreset("userpreset");

QString Tr(const char* pText)
{
    return QCoreApplication::translate("JoxCore::CodecConfigFFMedia", pText, "CodecConfigFFMedia");
}

const char* const mpPresetNames[] = {"custom", "proxy", "bluray", "dailiesweb", "dailiessd", "dailies720p"};

} // namespace

CodecConfigFFMedia::CodecConfigFFMedia() = default;

void CodecConfigFFMedia::SetDefaults(const CodecConfig* pSource)
{
    if (!CopyIfSameKind(*this, pSource))
        Clear();
}

int CodecConfigFFMedia::GetFormat() const { return GetOptionInt(mpFormat); }
void CodecConfigFFMedia::SetFormat(int format) { SetOptionInt(mpFormat, ValidateChoice(GetFormatChoices(), format)); }
int CodecConfigFFMedia::GetVideoCodec() const { return GetOptionInt(mpVideoCodec); }
void CodecConfigFFMedia::SetVideoCodec(int codec) { SetOptionInt(mpVideoCodec, ValidateChoice(GetVideoCodecChoices(), codec)); }
int CodecConfigFFMedia::GetProfile() const { return GetOptionInt(mpProfile); }
void CodecConfigFFMedia::SetProfile(int profile) { SetOptionInt(mpProfile, ValidateChoice(GetProfileChoices(), profile)); }
int CodecConfigFFMedia::GetVideoBitrate() const { return GetOptionInt(mpVideoBitrate, GetVideoRange().minimum); }
int CodecConfigFFMedia::GetVideoMaxrate() const { return GetOptionInt(mpVideoMaxrate, GetVideoRange().minimum); }

void CodecConfigFFMedia::SetVideoBitrates(int bitrate, int maxrate)
{
    const CodecRange range = GetVideoRange();
    SetOptionInt(mpVideoMaxrate, range.Clamp(maxrate));
    const int limited = bitrate < range.minimum ? range.minimum : std::min(bitrate, maxrate);
    SetOptionInt(mpVideoBitrate, range.Clamp(limited));
}

int CodecConfigFFMedia::GetGopSize() const { return GetOptionInt(mpGopSize, -1); }
void CodecConfigFFMedia::SetGopSize(int size) { SetOptionInt(mpGopSize, CodecRange{-1, 120}.Clamp(size)); }
int CodecConfigFFMedia::GetRateControl() const { return GetOptionInt(mpRateControl); }
void CodecConfigFFMedia::SetRateControl(int mode) { SetOptionInt(mpRateControl, mode); }
int CodecConfigFFMedia::GetSpeedPreset() const { return GetOptionInt(mpSpeedPreset); }
void CodecConfigFFMedia::SetSpeedPreset(int preset) { SetOptionInt(mpSpeedPreset, preset); }
int CodecConfigFFMedia::GetVideoPreset() const { return GetOptionInt(mpVideoPreset); }
void CodecConfigFFMedia::SetVideoPreset(int preset) { SetOptionInt(mpVideoPreset, preset); }
int CodecConfigFFMedia::GetAudioCodec() const { return GetOptionInt(mpAudioCodec); }
void CodecConfigFFMedia::SetAudioCodec(int codec) { SetOptionInt(mpAudioCodec, ValidateChoice(GetAudioCodecChoices(), codec)); }
int CodecConfigFFMedia::GetAudioBitrate() const { return GetOptionInt(mpAudioBitrate); }
void CodecConfigFFMedia::SetAudioBitrate(int bitrate) { SetOptionInt(mpAudioBitrate, ValidateChoice(GetAudioBitrateChoices(), bitrate)); }

int CodecConfigFFMedia::GetFormatType() const
{
    const QString type = GetAdditional("formattype");
    if (type == QLatin1String("mpeg4"))
        return FormatMpeg4;
    if (type == QLatin1String("h264stream"))
        return FormatH264Stream;
    return FormatOther;
}

bool CodecConfigFFMedia::HasVideo() const { return GetAdditional("video") == QLatin1String("true"); }
bool CodecConfigFFMedia::HasAudio() const { return GetAdditional("audio") == QLatin1String("true"); }

CodecRange CodecConfigFFMedia::GetVideoRange() const
{
    // The range is kept in kbit/s, the unit of the stored rates.
    const int profile = GetProfile();
    if (profile >= 0 && profile <= 2)
        return {0, 50000};
    if (profile == 3)
        return {0, 62500};
    return {0, 0};
}

int CodecConfigFFMedia::GetUserPreset() const
{
    const QString name = GetAdditional(mpUserPreset);
    for (int code = PresetCustom; code <= PresetDailies720p; ++code) {
        if (name == QLatin1String(mpPresetNames[code - 1]))
            return code;
    }
    return PresetNone;
}

QString CodecConfigFFMedia::UserPresetName(int code)
{
    if (code < PresetCustom || code > PresetDailies720p)
        return QStringLiteral("unknown");
    return QString::fromLatin1(mpPresetNames[code - 1]);
}

void CodecConfigFFMedia::SetUserPreset(int code)
{
    SetAdditional(mpUserPreset, UserPresetName(ValidateChoice(GetUserPresetChoices(), code)));
    WritePresetBlock(code);
}

void CodecConfigFFMedia::WritePresetBlock(int code)
{
    if (code < PresetCustom || code > PresetDailies720p)
        return;
    const bool dailies = code >= PresetDailiesWeb;
    const int format = code == PresetBluray ? 1 : dailies ? 0 : (GetFormatType() == FormatMpeg4 ? 0 : 1);
    if (HasVideo()) {
        SetFormat(format);
        SetVideoCodec(0);
        switch (code) {
        case PresetCustom:
            SetSpeedPreset(5);
            SetRateControl(0);
            break;
        case PresetProxy:
            SetProfile(1);
            SetRateControl(0);
            SetSpeedPreset(5);
            SetVideoBitrates(1900, 1900);
            RemoveOption(mpVideoMaxrate);
            RemoveOption(mpGopSize);
            break;
        case PresetBluray:
            SetProfile(3);
            SetRateControl(3);
            SetSpeedPreset(6);
            SetVideoPreset(10);
            RemoveOption(mpVideoBitrate);
            RemoveOption(mpVideoMaxrate);
            RemoveOption(mpGopSize);
            break;
        default: {
            SetProfile(3);
            SetRateControl(0);
            SetSpeedPreset(5);
            const int rates[3][2] = {{300, 330}, {1000, 1100}, {3500, 3850}};
            SetVideoBitrates(rates[code - PresetDailiesWeb][0], rates[code - PresetDailiesWeb][1]);
            SetGopSize(120);
            break;
        }
        }
    }
    if (HasAudio()) {
        SetFormat(format);
        if (code == PresetBluray) {
            SetAudioCodec(1);
            SetAudioBitrate(256);
        } else if (code != PresetCustom) {
            SetAudioCodec(0);
            SetAudioBitrate(128);
        }
    }
}

CodecChoiceList CodecConfigFFMedia::GetFormatChoices() const
{
    switch (GetFormatType()) {
    case FormatMpeg4:
        return {{0, Tr("MPEG-4")}};
    case FormatH264Stream:
        return {{1, Tr("MPEG-2 transport stream")}};
    default:
        return {};
    }
}

CodecChoiceList CodecConfigFFMedia::GetVideoCodecChoices() const
{
    return {{0, Tr("MPEG-4/Part 10(H.264/AVC)")}};
}

CodecChoiceList CodecConfigFFMedia::GetProfileChoices() const
{
    return {{0, Tr("Baseline profile")}, {1, Tr("Main profile")}, {3, Tr("High profile")},
            {4, Tr("High 10 profile")},  {6, Tr("High 4:2:2 profile")}};
}

CodecChoiceList CodecConfigFFMedia::GetAudioCodecChoices() const
{
    return {{0, Tr("MPEG-4 AAC")}, {1, Tr("AC-3")}};
}

CodecChoiceList CodecConfigFFMedia::GetAudioBitrateChoices() const
{
    CodecChoiceList list;
    for (int rate : {64, 96, 112, 128, 160, 192, 224, 256, 320, 384})
        list.append({rate, QString::number(rate)});
    return list;
}

CodecChoiceList CodecConfigFFMedia::GetUserPresetChoices() const
{
    CodecChoiceList list{{PresetProxy, Tr("Proxy")}};
    const int type = GetFormatType();
    if (type == FormatMpeg4)
        list += {{PresetDailiesWeb, Tr("Dailies Web")}, {PresetDailiesSd, Tr("Dailies SD")},
                 {PresetDailies720p, Tr("Dailies 720p")}};
    else if (type == FormatH264Stream)
        list.append({PresetBluray, Tr("Blu-ray")});
    list.append({PresetCustom, Tr("Customized")});
    return list;
}

} // namespace JoxCore
