#include <joxcore/CodecConfigMPEG2.h>

#include <joxcore/Mpeg2Presets.h>

#include <QCoreApplication>

#include <algorithm>

namespace JoxCore {

namespace {

// Plain literals, so that the preset table built during static
// initialisation of another file finds them whatever the order.
constexpr char mpProfile[] = "mpegvc_profile";
constexpr char mpLevel[] = "mpegvc_level";
constexpr char mpChromaFormat[] = "mpegvc_chromaformat";
constexpr char mpBitrateMode[] = "mpegvc_bitratemode";
constexpr char mpAverageBitrate[] = "mpegvc_averagebitrate";
constexpr char mpMaxBitrate[] = "mpegvc_maxbitrate";
constexpr char mpMinBitrate[] = "mpegvc_minbitrate";
constexpr char mpGopN[] = "mpegvc_gopn";
constexpr char mpGopM[] = "mpegvc_gopm";
constexpr char mpClosedGopInterval[] = "mpegvc_closedgopinterval";
constexpr char mpDcPrecision[] = "mpegvc_dcprecision";
constexpr char mpMotionSearch[] = "mpegvc_msprecision";
constexpr char mpAudioBitrate[] = "mpegac_bitratetype";
constexpr char mpPresetUuid[] = "jox_preset_uuid";

const int mpMinimumBitrate = 192000;

QString Tr(const char* pText)
{
    return QCoreApplication::translate("JoxCore::CodecConfigMPEG2", pText, "CodecConfigMPEG2");
}

// Upper bit-rate bound by profile (High, Main, Simple, other) and level
// (High, High 1440, Main, other).
int MaxBitrate(int profile, int level)
{
    static const int bounds[4][4] = {{100000000, 80000000, 20000000, 20000000},
                                     {80000000, 60000000, 15000000, 4000000},
                                     {15000000, 15000000, 15000000, 15000000},
                                     {300000000, 50000000, 50000000, 50000000}};
    const int row = profile == 1 ? 0 : profile == 4 ? 1 : profile == 5 ? 2 : 3;
    const int column = level == 4 ? 0 : level == 6 ? 1 : level == 8 ? 2 : 3;
    return bounds[row][column];
}

} // namespace

CodecConfigMPEG2::CodecConfigMPEG2()
{
    CodecConfigMPEG2::SetDefaults(nullptr);
}

CodecConfigMPEG2::~CodecConfigMPEG2() = default;
CodecConfigMPEG2::CodecConfigMPEG2(const CodecConfigMPEG2& rOther) = default;
CodecConfigMPEG2& CodecConfigMPEG2::operator=(const CodecConfigMPEG2& rOther) = default;

void CodecConfigMPEG2::SetDefaults(const CodecConfig* pSource)
{
    if (CopyIfSameKind(*this, pSource))
        return;
    Clear();
    const std::pair<const char*, const char*> defaults[] = {
        {"mpegvc_type", "2"},
        {"mpegac_type", "2"},
        {"mpegvc_profile", "1"},
        {"mpegvc_level", "4"},
        {"mpegvc_chromaformat", "1"},
        {"mpegvc_bitratemode", "0"},
        {"mpegvc_averagebitrate", "15000000"},
        {"mpegvc_maxbitrate", "18000000"},
        {"mpegvc_minbitrate", "4000000"},
        {"mpegvc_gopn", "15"},
        {"mpegvc_gopm", "3"},
        {"mpegvc_closedgopinterval", "0"},
        {"mpegvc_dcprecision", "1"},
        {"mpegvc_msprecision", "17"},
        {"mpegac_bitratetype", "14"},
    };
    for (const auto& rDefault : defaults)
        SetOption(rDefault.first, QLatin1String(rDefault.second));
    SetPresetUuid(QUuid());
}

int CodecConfigMPEG2::GetProfile() const { return GetOptionInt(mpProfile); }
void CodecConfigMPEG2::SetProfile(int profile) { SetOptionInt(mpProfile, ValidateChoice(GetProfileChoices(), profile)); }
int CodecConfigMPEG2::GetLevel() const { return GetOptionInt(mpLevel); }
void CodecConfigMPEG2::SetLevel(int level) { SetOptionInt(mpLevel, ValidateChoice(GetLevelChoices(), level)); }
int CodecConfigMPEG2::GetChromaFormat() const { return GetOptionInt(mpChromaFormat); }
void CodecConfigMPEG2::SetChromaFormat(int format) { SetOptionInt(mpChromaFormat, ValidateChoice(GetChromaFormatChoices(), format)); }
int CodecConfigMPEG2::GetBitrateMode() const { return GetOptionInt(mpBitrateMode); }
void CodecConfigMPEG2::SetBitrateMode(int mode) { SetOptionInt(mpBitrateMode, ValidateChoice(GetBitrateModeChoices(), mode)); }
int CodecConfigMPEG2::GetAverageBitrate() const { return GetOptionInt(mpAverageBitrate); }
int CodecConfigMPEG2::GetMaxBitrate() const { return GetOptionInt(mpMaxBitrate); }
int CodecConfigMPEG2::GetMinBitrate() const { return GetOptionInt(mpMinBitrate); }

void CodecConfigMPEG2::SetBitrates(int minimum, int maximum, int average)
{
    const int low = std::min(minimum, maximum);
    const int high = std::max(minimum, maximum);
    if (GetBitrateMode() != 1)
        average = std::clamp(average, low, high);
    const CodecRange range = GetBitrateRange();
    SetOptionInt(mpMinBitrate, range.Clamp(low));
    SetOptionInt(mpMaxBitrate, range.Clamp(high));
    SetOptionInt(mpAverageBitrate, range.Clamp(average));
}

int CodecConfigMPEG2::GetGopN() const { return GetOptionInt(mpGopN); }
void CodecConfigMPEG2::SetGopN(int n) { SetOptionInt(mpGopN, CodecRange{1, 27}.Clamp(n)); }
int CodecConfigMPEG2::GetGopM() const { return GetOptionInt(mpGopM); }
void CodecConfigMPEG2::SetGopM(int m) { SetOptionInt(mpGopM, CodecRange{1, 3}.Clamp(m)); }
int CodecConfigMPEG2::GetClosedGopInterval() const { return GetOptionInt(mpClosedGopInterval); }
void CodecConfigMPEG2::SetClosedGopInterval(int interval) { SetOptionInt(mpClosedGopInterval, CodecRange{0, 10}.Clamp(interval)); }
int CodecConfigMPEG2::GetDcPrecision() const { return GetOptionInt(mpDcPrecision); }
void CodecConfigMPEG2::SetDcPrecision(int precision) { SetOptionInt(mpDcPrecision, ValidateChoice(GetDcPrecisionChoices(), precision)); }
int CodecConfigMPEG2::GetMotionSearch() const { return GetOptionInt(mpMotionSearch); }
void CodecConfigMPEG2::SetMotionSearch(int search) { SetOptionInt(mpMotionSearch, ValidateChoice(GetMotionSearchChoices(), search)); }
int CodecConfigMPEG2::GetAudioBitrate() const { return GetOptionInt(mpAudioBitrate); }
void CodecConfigMPEG2::SetAudioBitrate(int code) { SetOptionInt(mpAudioBitrate, ValidateChoice(GetAudioBitrateChoices(), code)); }

CodecRange CodecConfigMPEG2::GetBitrateRange() const
{
    return {mpMinimumBitrate, MaxBitrate(GetProfile(), GetLevel())};
}

CodecRange CodecConfigMPEG2::GetBFrameRange() const
{
    return {0, 2};
}

CodecRange CodecConfigMPEG2::GetPFrameRange() const
{
    return {GetGopN() == 1 ? 0 : 1, 8};
}

CodecRange CodecConfigMPEG2::GetClosedGopIntervalRange() const
{
    return {GetClosedGopInterval() == 0 ? 0 : 1, 10};
}

QString CodecConfigMPEG2::GetGopStructureText() const
{
    const int n = GetGopN();
    // In 64 bits: a stored M may be any int, the smallest one included.
    const qint64 bFrames = static_cast<qint64>(GetGopM()) - 1;
    if (n <= 1)
        return QStringLiteral("I I I I I I I I I I I I I I I I ...");
    // Every frame after the first I takes one from the counter, and none is
    // written once it is down to 1, so the text ends for any N and M.
    const int shown = std::min(n, mpGopTextFrameLimit);
    QString text = QStringLiteral("I");
    int remaining = shown;
    while (remaining > 1) {
        for (qint64 b = 0; b < bFrames && remaining > 1; ++b, --remaining)
            text += b == 0 ? QStringLiteral(" B") : QStringLiteral("B");
        if (remaining > 1) {
            text += QStringLiteral(" P");
            --remaining;
        }
    }
    text += n > shown ? QStringLiteral(" ...") : QStringLiteral(" I");
    return text;
}

QUuid CodecConfigMPEG2::GetPresetUuid() const
{
    return QUuid(GetAdditional(mpPresetUuid));
}

void CodecConfigMPEG2::SetPresetUuid(const QUuid& rUuid)
{
    SetAdditional(mpPresetUuid, rUuid.toString());
}

int CodecConfigMPEG2::GetPresetIndex() const
{
    const QUuid uuid = GetPresetUuid();
    const auto preset = Mpeg2Presets.find(uuid);
    if (preset == Mpeg2Presets.end() || !(*this == preset->second))
        return 0;
    for (const auto& rEntry : Mpeg2PresetIndexes) {
        if (rEntry.second == uuid)
            return rEntry.first;
    }
    return 0;
}

void CodecConfigMPEG2::ApplyPreset(int index)
{
    if (!GetPresetUuid().isNull())
        SetDefaults(nullptr);
    const auto entry = Mpeg2PresetIndexes.find(index);
    if (entry == Mpeg2PresetIndexes.end())
        return;
    const auto preset = Mpeg2Presets.find(entry->second);
    if (preset != Mpeg2Presets.end())
        *this = preset->second;
}

CodecChoiceList CodecConfigMPEG2::GetPresetChoices() const
{
    return Mpeg2PresetChoices;
}

CodecChoiceList CodecConfigMPEG2::GetProfileChoices() const
{
    return {{1, Tr("High Profile")}, {4, Tr("Main Profile")}, {5, Tr("Simple Profile")}, {7, Tr("4:2:2 Profile")}};
}

CodecChoiceList CodecConfigMPEG2::GetLevelChoices() const
{
    switch (GetProfile()) {
    case 1:
        return {{4, Tr("High Level")}, {6, Tr("High Level 1440")}, {8, Tr("Main Level")}};
    case 4:
        return {{4, Tr("High Level")}, {6, Tr("High Level 1440")}, {8, Tr("Main Level")}, {10, Tr("Low Profile")}};
    case 5:
        return {{8, Tr("Main Level")}};
    case 7:
        return {{4, Tr("High Level")}, {8, Tr("Main Level")}};
    default:
        return {{15, Tr("UNSPECIFIED")}};
    }
}

CodecChoiceList CodecConfigMPEG2::GetChromaFormatChoices() const
{
    switch (GetProfile()) {
    case 1:
        return {{2, Tr("4:2:2")}, {1, Tr("4:2:0")}};
    case 4:
    case 5:
        return {{1, Tr("4:2:0")}};
    default:
        return {{2, Tr("4:2:2")}};
    }
}

CodecChoiceList CodecConfigMPEG2::GetBitrateModeChoices() const
{
    return {{1, Tr("Constant bitrate")}, {0, Tr("Variable bitrate (1 Pass)")}};
}

CodecChoiceList CodecConfigMPEG2::GetGopTypeChoices() const
{
    return {{0, Tr("Closed GOPs")}, {1, Tr("Open GOPs")}};
}

CodecChoiceList CodecConfigMPEG2::GetDcPrecisionChoices() const
{
    CodecChoiceList list{{0, Tr("8 Bit")}, {1, Tr("9 Bit")}, {2, Tr("10 Bit")}};
    if (GetProfile() == 1)
        list.append({3, Tr("11 Bit")});
    return list;
}

CodecChoiceList CodecConfigMPEG2::GetMotionSearchChoices() const
{
    return {{0, Tr("No motion search (very fast)")}, {11, Tr("Low quality (fast)")},
            {17, Tr("Medium quality (slow)")}, {23, Tr("High quality (very slow)")}};
}

CodecChoiceList CodecConfigMPEG2::GetAudioBitrateChoices() const
{
    const int rates[] = {64, 96, 112, 128, 160, 192, 224, 256, 320, 384};
    CodecChoiceList list;
    for (int i = 0; i < 10; ++i)
        list.append({i < 1 ? 4 : i + 5, Tr("%1 Kbit/s").arg(rates[i])});
    return list;
}

} // namespace JoxCore
