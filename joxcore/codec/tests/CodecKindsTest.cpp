#include <joxcore/CodecConfigFFMedia.h>
#include <joxcore/CodecConfigH264.h>
#include <joxcore/CodecConfigJPEG2000.h>
#include <joxcore/CodecConfigMOV.h>
#include <joxcore/CodecConfigMPEG2.h>

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

using namespace JoxCore;

// One setter call on a prepared configuration and the value read back.
struct SetterCase
{
    const char* pName;
    std::function<int(int)> store; // calls the setter with the value, returns the getter
    int value;
    int expected;
};

void RunCases(const std::vector<SetterCase>& rCases)
{
    for (const SetterCase& rCase : rCases)
        EXPECT_EQ(rCase.store(rCase.value), rCase.expected) << rCase.pName << " " << rCase.value;
}

std::vector<int> Values(const CodecChoiceList& rList)
{
    std::vector<int> values;
    for (const CodecChoice& rChoice : rList)
        values.push_back(rChoice.value);
    return values;
}

QStringList Texts(const CodecChoiceList& rList)
{
    QStringList texts;
    for (const CodecChoice& rChoice : rList)
        texts << rChoice.text;
    return texts;
}

TEST(CodecChoiceTest, ValidateChoice)
{
    const CodecChoiceList list{{7, QStringLiteral("a")}, {3, QStringLiteral("b")}};
    EXPECT_EQ(ValidateChoice(list, 3), 3);
    EXPECT_EQ(ValidateChoice(list, 4), 7);
    EXPECT_EQ(ValidateChoice({}, 3), -1);
}

CodecConfigFFMedia FFMedia(const char* pFormatType, int profile)
{
    CodecConfigFFMedia config;
    config.SetAdditional("formattype", QLatin1String(pFormatType));
    config.SetOption("ffmedia_profile", QString::number(profile));
    return config;
}

TEST(CodecKindsTest, FFMediaKeysListsAndRanges)
{
    auto on = [](const char* pType, int profile, auto setter, auto getter) {
        return [=](int value) {
            CodecConfigFFMedia config = FFMedia(pType, profile);
            (config.*setter)(value);
            return (config.*getter)();
        };
    };
    using C = CodecConfigFFMedia;
    RunCases({
        {"format mpeg4", on("mpeg4", 1, &C::SetFormat, &C::GetFormat), 0, 0},
        {"format mpeg4", on("mpeg4", 1, &C::SetFormat, &C::GetFormat), 1, 0},
        {"format h264stream", on("h264stream", 1, &C::SetFormat, &C::GetFormat), 1, 1},
        {"format h264stream", on("h264stream", 1, &C::SetFormat, &C::GetFormat), 0, 1},
        {"format other type", on("", 1, &C::SetFormat, &C::GetFormat), 0, -1},
        {"video codec", on("mpeg4", 1, &C::SetVideoCodec, &C::GetVideoCodec), 0, 0},
        {"video codec", on("mpeg4", 1, &C::SetVideoCodec, &C::GetVideoCodec), 2, 0},
        {"profile", on("mpeg4", 1, &C::SetProfile, &C::GetProfile), 6, 6},
        {"profile", on("mpeg4", 1, &C::SetProfile, &C::GetProfile), 2, 0},
        {"audio codec", on("mpeg4", 1, &C::SetAudioCodec, &C::GetAudioCodec), 1, 1},
        {"audio codec", on("mpeg4", 1, &C::SetAudioCodec, &C::GetAudioCodec), 2, 0},
        {"audio bit rate", on("mpeg4", 1, &C::SetAudioBitrate, &C::GetAudioBitrate), 384, 384},
        {"audio bit rate", on("mpeg4", 1, &C::SetAudioBitrate, &C::GetAudioBitrate), 100, 64},
        {"gop size", on("mpeg4", 1, &C::SetGopSize, &C::GetGopSize), -2, -1},
        {"gop size", on("mpeg4", 1, &C::SetGopSize, &C::GetGopSize), 121, 120},
        {"gop size", on("mpeg4", 1, &C::SetGopSize, &C::GetGopSize), 0, 0},
        {"rate control as given", on("mpeg4", 1, &C::SetRateControl, &C::GetRateControl), 42, 42},
    });
    EXPECT_EQ(FFMedia("", 1).GetFormatChoices().size(), 0);
    EXPECT_EQ(Texts(FFMedia("mpeg4", 1).GetProfileChoices()),
              (QStringList{"Baseline profile", "Main profile", "High profile", "High 10 profile", "High 4:2:2 profile"}));

    // Absent keys.
    const CodecConfigFFMedia empty;
    EXPECT_EQ(empty.GetVideoBitrate(), 0);
    EXPECT_EQ(empty.GetVideoMaxrate(), 0);
    EXPECT_EQ(empty.GetGopSize(), -1);

    const std::pair<const char*, int> types[] = {{"mpeg4", 50}, {"h264stream", 51}, {"MPEG4", 66}, {"", 66}};
    for (const auto& rType : types)
        EXPECT_EQ(FFMedia(rType.first, 0).GetFormatType(), rType.second) << rType.first;
}

TEST(CodecKindsTest, FFMediaVideoBitratesAreClampedInKbits)
{
    struct Case
    {
        int profile, bitrate, maxrate, storedBitrate, storedMaxrate;
    };
    const Case cases[] = {
        {1, 5000, 4000, 4000, 4000},       {1, 2000, 3000, 2000, 3000},   {1, -5, 3000, 0, 3000},
        {4, 5000, 6000, 0, 0},             {6, 5000, 6000, 0, 0},          {-1, 5000, 6000, 0, 0},
        // The range is in kbit/s like the stored rates, so it bites.
        {1, 60000, 70000, 50000, 50000},   {3, 60000, 70000, 60000, 62500}, {0, 40000, 90000, 40000, 50000},
    };
    for (const Case& rCase : cases) {
        CodecConfigFFMedia config = FFMedia("mpeg4", rCase.profile);
        config.SetVideoBitrates(rCase.bitrate, rCase.maxrate);
        EXPECT_EQ(config.GetVideoBitrate(), rCase.storedBitrate) << rCase.profile << " " << rCase.bitrate;
        EXPECT_EQ(config.GetVideoMaxrate(), rCase.storedMaxrate) << rCase.profile << " " << rCase.maxrate;
    }
}

CodecConfigH264 H264(int profile, int level)
{
    CodecConfigH264 config;
    config.SetOption("ffmedia_profile", QString::number(profile));
    config.SetOption("ffmedia_level", QString::number(level));
    return config;
}

TEST(CodecKindsTest, H264ListsAndClamps)
{
    auto on = [](int profile, auto setter, auto getter) {
        return [=](int value) {
            CodecConfigH264 config = H264(profile, 11);
            (config.*setter)(value);
            return (config.*getter)();
        };
    };
    using C = CodecConfigH264;
    RunCases({
        {"profile", on(0, &C::SetProfile, &C::GetProfile), 4, 4},
        {"profile", on(0, &C::SetProfile, &C::GetProfile), 5, 0},
        {"level", on(0, &C::SetLevel, &C::GetLevel), 10, 10},
        {"level", on(0, &C::SetLevel, &C::GetLevel), 7, 8},
        {"chroma 4:2:2 profile", on(6, &C::SetChroma, &C::GetChroma), 0, 0},
        {"chroma 4:2:2 profile", on(6, &C::SetChroma, &C::GetChroma), 2, 1},
        {"chroma high profile", on(3, &C::SetChroma, &C::GetChroma), 1, 0},
        {"rate control", on(0, &C::SetRateControl, &C::GetRateControl), 8, 8},
        {"rate control", on(0, &C::SetRateControl, &C::GetRateControl), 9, 0},
        {"speed", on(3, &C::SetSpeedPreset, &C::GetSpeedPreset), 2, 2},
        {"speed high 10", on(4, &C::SetSpeedPreset, &C::GetSpeedPreset), 2, 0},
        {"audio codec", on(0, &C::SetAudioCodec, &C::GetAudioCodec), 1, 0},
        {"audio bit rate", on(0, &C::SetAudioBitrate, &C::GetAudioBitrate), 320, 320},
        {"audio bit rate", on(0, &C::SetAudioBitrate, &C::GetAudioBitrate), 100, 64},
        {"gop", on(0, &C::SetGopSize, &C::GetGopSize), 0, 1},
        {"gop", on(0, &C::SetGopSize, &C::GetGopSize), 500, 120},
        {"gop", on(0, &C::SetGopSize, &C::GetGopSize), 60, 60},
    });
    EXPECT_EQ(Texts(H264(0, 8).GetRateControlChoices()).join(','),
              QStringLiteral("Average bitrate,CRF18,CRF19,CRF20,CRF21,CRF22,CRF23,CRF24,CRF25"));
    EXPECT_EQ(Texts(H264(0, 8).GetAudioBitrateChoices()).first(), QStringLiteral("64 Kbit/s"));

    CodecConfigH264 config = H264(3, 11);
    config.SetOption("ffmedia_spreset", QStringLiteral("2"));
    config.SetProfile(6);
    EXPECT_EQ(config.GetSpeedPreset(), 1);
    EXPECT_EQ(config.GetProfile(), 6);
    EXPECT_EQ(Texts(config.GetSpeedPresetChoices()), (QStringList{"Fast", "Medium"}));
}

TEST(CodecKindsTest, H264MaxBitrateFollowsTheLevelTable)
{
    const int maxBr[] = {64, 128, 192, 384, 768, 2000, 4000, 4000, 10000, 14000, 20000, 20000, 50000, 50000,
                         135000, 240000};
    for (int level = 0; level < 16; ++level)
        EXPECT_EQ(CodecConfigH264::H264MaxBitrate(level, 0), maxBr[level]) << level;
    EXPECT_EQ(CodecConfigH264::H264MaxBitrate(-1, 1), 240000);
    EXPECT_EQ(CodecConfigH264::H264MaxBitrate(99, 1), 240000);
    const int profiles[] = {0, 1, 3, 4, 6, 2};
    const int level3[] = {10000, 10000, 12500, 30000, 40000, 40000};
    const int level4[] = {20000, 20000, 25000, 60000, 80000, 80000};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(CodecConfigH264::H264MaxBitrate(8, profiles[i]), level3[i]) << profiles[i];
        EXPECT_EQ(CodecConfigH264::H264MaxBitrate(11, profiles[i]), level4[i]) << profiles[i];
    }
}

TEST(CodecKindsTest, H264VideoRates)
{
    CodecConfigH264 config = H264(3, 11);
    EXPECT_EQ(config.GetVideoRange().minimum, 1000);
    EXPECT_EQ(config.GetVideoRange().maximum, 25000);
    config.SetVideoMaxrate(30000);
    EXPECT_EQ(config.GetVideoMaxrate(), 25000);
    config.SetVideoBitrate(8000);
    config.SetVideoMaxrate(2000);
    EXPECT_EQ(config.GetVideoBitrate(), 2000);
    EXPECT_EQ(config.GetVideoMaxrate(), 2000);
    config.SetVideoBitrate(9000);
    EXPECT_EQ(config.GetVideoBitrate(), 2000);
    config.SetVideoBitrate(10);
    EXPECT_EQ(config.GetVideoBitrate(), 1000);

    // Without a stored maximum the bit rate is only clamped, never lowered to 0.
    CodecConfigH264 fresh = H264(3, 11);
    fresh.SetVideoBitrate(8000);
    EXPECT_EQ(fresh.GetVideoBitrate(), 8000);
    fresh.SetVideoBitrate(90000);
    EXPECT_EQ(fresh.GetVideoBitrate(), 25000);

    // A stored maximum below the range lowers the bit rate, which is then clamped.
    CodecConfigH264 lowMaximum = H264(3, 11);
    lowMaximum.SetOption("ffmedia_vmaxrate", QStringLiteral("500"));
    lowMaximum.SetVideoBitrate(8000);
    EXPECT_EQ(lowMaximum.GetVideoBitrate(), 1000);

    // Levels below 2 would give a maximum under the minimum: the range is never inverted.
    for (int level : {0, 3, 4}) {
        CodecConfigH264 low = H264(0, level);
        EXPECT_EQ(low.GetVideoRange().maximum, 1000) << level;
        low.SetVideoMaxrate(50000);
        EXPECT_EQ(low.GetVideoMaxrate(), 1000) << level;
        low.SetVideoBitrate(50000);
        EXPECT_EQ(low.GetVideoBitrate(), 1000) << level;
    }
}

CodecConfigJPEG2000 Jpeg2000(const char* pFrameRate)
{
    CodecConfigJPEG2000 config;
    if (pFrameRate)
        config.SetAdditional("frame_rate", QLatin1String(pFrameRate));
    return config;
}

QString CodestreamSize(const CodecConfigJPEG2000& rConfig)
{
    return rConfig.GetEffectParameter("jp2kratecontrol", "codestreamsize");
}

TEST(CodecKindsTest, Jpeg2000CodestreamSize)
{
    CodecConfigJPEG2000 config = Jpeg2000("25");
    EXPECT_TRUE(config.SetConstantBitRate(100));
    EXPECT_EQ(config.GetConstantBitRate(), 100);
    EXPECT_EQ(CodestreamSize(config), QStringLiteral("500000"));

    EXPECT_TRUE(config.SetConstantNoLimit(true));
    EXPECT_TRUE(config.GetConstantNoLimit());
    EXPECT_EQ(CodestreamSize(config), QStringLiteral("-1"));
    // While there is no limit the size stays "-1" whatever the rate.
    EXPECT_TRUE(config.SetConstantBitRate(200));
    EXPECT_EQ(CodestreamSize(config), QStringLiteral("-1"));
    EXPECT_TRUE(config.SetConstantNoLimit(false));
    EXPECT_EQ(CodestreamSize(config), QStringLiteral("1000000"));

    CodecConfigJPEG2000 ntsc = Jpeg2000("29.97");
    ntsc.SetConstantBitRate(100);
    EXPECT_EQ(CodestreamSize(ntsc), QStringLiteral("417084")); // 417083.75 rounded

    config.SetTransform(true);
    EXPECT_EQ(config.GetEffectParameter("jp2kmctransform", "transform"), QStringLiteral("1"));
    EXPECT_TRUE(config.GetTransform());
    config.SetEditLag(4);
    EXPECT_EQ(config.GetEffectParameter("vtreditlag", "editlag"), QStringLiteral("4"));
    EXPECT_EQ(config.GetOption("flowdisplaylag"), QStringLiteral("4"));
    EXPECT_EQ(config.GetEditLag(), 4);
}

// Without a usable frame rate no size can be computed: the rate and the flag
// are stored all the same, only the size stays "-1" (and the call says so),
// and a frame rate given later brings the size back.
TEST(CodecKindsTest, Jpeg2000StoresRateAndFlagWithoutASize)
{
    const char* frameRates[] = {nullptr, "0", "-25", "abc", "nan", "inf", "-inf", "1e-300"};
    for (const char* pFrameRate : frameRates) {
        const char* pName = pFrameRate ? pFrameRate : "absent";
        CodecConfigJPEG2000 config = Jpeg2000(pFrameRate);
        EXPECT_FALSE(config.SetConstantBitRate(100)) << pName;
        EXPECT_EQ(config.GetConstantBitRate(), 100) << pName;
        EXPECT_EQ(CodestreamSize(config), QStringLiteral("-1")) << pName;

        EXPECT_TRUE(config.SetConstantNoLimit(true)) << pName;
        EXPECT_EQ(CodestreamSize(config), QStringLiteral("-1")) << pName;
        EXPECT_FALSE(config.SetConstantNoLimit(false)) << pName;
        EXPECT_FALSE(config.GetConstantNoLimit()) << pName;
        EXPECT_EQ(config.GetAdditional("constant_no_limit"), QStringLiteral("0")) << pName;
        EXPECT_EQ(CodestreamSize(config), QStringLiteral("-1")) << pName;
        EXPECT_FALSE(config.SetConstantBitRate(200)) << pName;
        EXPECT_EQ(config.GetConstantBitRate(), 200) << pName;

        config.SetAdditional("frame_rate", QStringLiteral("25"));
        EXPECT_TRUE(config.SetConstantBitRate(200)) << pName;
        EXPECT_EQ(CodestreamSize(config), QStringLiteral("1000000")) << pName;
    }

    CodecConfigJPEG2000 config = Jpeg2000("25");
    EXPECT_TRUE(config.SetConstantBitRate(std::numeric_limits<int>::max()));
    EXPECT_EQ(CodestreamSize(config), QStringLiteral("10737418235000"));
    EXPECT_FALSE(Jpeg2000("1e-300").SetConstantBitRate(std::numeric_limits<int>::max()));
}

// A negative rate gives no code-stream size: it is refused and logged, with
// or without a limit, and the configuration stays as it was (the "-1" of no
// limit never stands beside a flag that says limited).
TEST(CodecKindsTest, Jpeg2000RefusesANegativeRate)
{
    for (const bool noLimit : {false, true}) {
        CodecConfigJPEG2000 config = Jpeg2000("25");
        ASSERT_TRUE(config.SetConstantBitRate(100));
        ASSERT_TRUE(config.SetConstantNoLimit(noLimit));
        const CodecConfigJPEG2000 before = config;
        for (const int rate : {-1, std::numeric_limits<int>::min()}) {
            LogCapture log("CodecConfig");
            EXPECT_FALSE(config.SetConstantBitRate(rate)) << noLimit << " " << rate;
            EXPECT_EQ(config, before) << noLimit << " " << rate;
            EXPECT_EQ(log.Messages(), std::vector<std::string>{"rate < 0"}) << noLimit << " " << rate;
        }
    }
}

TEST(CodecKindsTest, MovKeysAndLists)
{
    auto on = [](auto setter, auto getter) {
        return [=](int value) {
            CodecConfigMOV config;
            (config.*setter)(value);
            return static_cast<int>((config.*getter)());
        };
    };
    using C = CodecConfigMOV;
    RunCases({
        {"packing", on(&C::SetAudioPacking, &C::GetAudioPacking), 2, 2},
        {"packing", on(&C::SetAudioPacking, &C::GetAudioPacking), 0, 1},
        {"captions", on(&C::SetClosedCaptionType, &C::GetClosedCaptionType), 608, 608},
        {"captions", on(&C::SetClosedCaptionType, &C::GetClosedCaptionType), 0, 0},
        {"captions", on(&C::SetClosedCaptionType, &C::GetClosedCaptionType), 607, 708},
        {"chunk", on(&C::SetSidecarChunkSize, &C::GetSidecarChunkSize), -3, -3},
        {"rate", on(&C::SetSidecarDataRate, &C::GetSidecarDataRate), 77, 77},
        {"fallback", on(&C::SetSidecarDurationFallback, &C::GetSidecarDurationFallback), 9, 9},
    });
    CodecConfigMOV config;
    config.SetForceClosedCaptions(true);
    config.SetWriteSidecar(false);
    config.SetSidecarFinalUpdate(true);
    EXPECT_EQ(config.GetOption("qtvc_force_cc"), QStringLiteral("1"));
    EXPECT_EQ(config.GetOption("qtwc_enable_write_sidecar"), QStringLiteral("0"));
    EXPECT_EQ(config.GetOption("qtwc_sidecar_final_update"), QStringLiteral("1"));
    config.SetOption("qtwc_enable_write_sidecar", QStringLiteral("-4"));
    EXPECT_TRUE(config.GetWriteSidecar());
}

CodecConfigMPEG2 Mpeg2(int profile, int level, int mode = 0)
{
    CodecConfigMPEG2 config;
    config.SetOption("mpegvc_profile", QString::number(profile));
    config.SetOption("mpegvc_level", QString::number(level));
    config.SetOption("mpegvc_bitratemode", QString::number(mode));
    return config;
}

TEST(CodecKindsTest, Mpeg2ListsDependOnTheProfile)
{
    auto on = [](int profile, auto setter, auto getter) {
        return [=](int value) {
            CodecConfigMPEG2 config = Mpeg2(profile, 4);
            (config.*setter)(value);
            return (config.*getter)();
        };
    };
    using C = CodecConfigMPEG2;
    RunCases({
        {"profile", on(1, &C::SetProfile, &C::GetProfile), 7, 7},
        {"profile", on(1, &C::SetProfile, &C::GetProfile), 2, 1},
        {"level high", on(1, &C::SetLevel, &C::GetLevel), 6, 6},
        {"level high", on(1, &C::SetLevel, &C::GetLevel), 10, 4},
        {"level main", on(4, &C::SetLevel, &C::GetLevel), 10, 10},
        {"level simple", on(5, &C::SetLevel, &C::GetLevel), 6, 8},
        {"level 4:2:2", on(7, &C::SetLevel, &C::GetLevel), 6, 4},
        {"level unknown profile", on(9, &C::SetLevel, &C::GetLevel), 4, 15},
        {"chroma high", on(1, &C::SetChromaFormat, &C::GetChromaFormat), 1, 1},
        {"chroma main", on(4, &C::SetChromaFormat, &C::GetChromaFormat), 2, 1},
        {"chroma 4:2:2", on(7, &C::SetChromaFormat, &C::GetChromaFormat), 1, 2},
        {"mode", on(1, &C::SetBitrateMode, &C::GetBitrateMode), 0, 0},
        {"mode", on(1, &C::SetBitrateMode, &C::GetBitrateMode), 2, 1},
        {"dc high", on(1, &C::SetDcPrecision, &C::GetDcPrecision), 3, 3},
        {"dc main", on(4, &C::SetDcPrecision, &C::GetDcPrecision), 3, 0},
        {"motion", on(1, &C::SetMotionSearch, &C::GetMotionSearch), 23, 23},
        {"motion", on(1, &C::SetMotionSearch, &C::GetMotionSearch), 18, 0},
        {"audio", on(1, &C::SetAudioBitrate, &C::GetAudioBitrate), 6, 6},
        {"audio", on(1, &C::SetAudioBitrate, &C::GetAudioBitrate), 5, 4},
        {"gop n", on(1, &C::SetGopN, &C::GetGopN), 0, 1},
        {"gop n", on(1, &C::SetGopN, &C::GetGopN), 28, 27},
        {"gop m", on(1, &C::SetGopM, &C::GetGopM), 0, 1},
        {"gop m", on(1, &C::SetGopM, &C::GetGopM), 4, 3},
        {"closed gop", on(1, &C::SetClosedGopInterval, &C::GetClosedGopInterval), -1, 0},
        {"closed gop", on(1, &C::SetClosedGopInterval, &C::GetClosedGopInterval), 11, 10},
    });
    EXPECT_EQ(Values(Mpeg2(1, 4).GetAudioBitrateChoices()), (std::vector<int>{4, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_EQ(Texts(Mpeg2(4, 4).GetLevelChoices()).last(), QStringLiteral("Low Profile"));
    EXPECT_EQ(Texts(Mpeg2(2, 4).GetLevelChoices()), QStringList{"UNSPECIFIED"});
}

TEST(CodecKindsTest, Mpeg2BitratesAndRanges)
{
    const int profiles[] = {1, 4, 5, 7};
    const int levels[] = {4, 6, 8, 10};
    const int bounds[4][4] = {{100000000, 80000000, 20000000, 20000000},
                              {80000000, 60000000, 15000000, 4000000},
                              {15000000, 15000000, 15000000, 15000000},
                              {300000000, 50000000, 50000000, 50000000}};
    for (int p = 0; p < 4; ++p)
        for (int l = 0; l < 4; ++l) {
            EXPECT_EQ(Mpeg2(profiles[p], levels[l]).GetBitrateRange().minimum, 192000);
            EXPECT_EQ(Mpeg2(profiles[p], levels[l]).GetBitrateRange().maximum, bounds[p][l]) << p << " " << l;
        }

    struct Case
    {
        int mode, minimum, maximum, average, storedMin, storedMax, storedAverage;
    };
    const Case cases[] = {
        {0, 20000000, 5000000, 30000000, 5000000, 20000000, 20000000},
        {1, 20000000, 5000000, 30000000, 5000000, 20000000, 30000000},
        {0, 5000000, 20000000, 1000000, 5000000, 20000000, 5000000},
        {0, 100000, 200000000, 150000000, 192000, 100000000, 100000000},
        {1, 100000, 200000, 50000, 192000, 200000, 192000},
    };
    for (const Case& rCase : cases) {
        CodecConfigMPEG2 config = Mpeg2(1, 4, rCase.mode);
        config.SetBitrates(rCase.minimum, rCase.maximum, rCase.average);
        EXPECT_EQ(config.GetMinBitrate(), rCase.storedMin);
        EXPECT_EQ(config.GetMaxBitrate(), rCase.storedMax);
        EXPECT_EQ(config.GetAverageBitrate(), rCase.storedAverage);
    }

    CodecConfigMPEG2 config;
    EXPECT_EQ(config.GetPFrameRange().minimum, 1);
    EXPECT_EQ(config.GetClosedGopIntervalRange().minimum, 0);
    config.SetGopN(1);
    config.SetClosedGopInterval(2);
    EXPECT_EQ(config.GetPFrameRange().minimum, 0);
    EXPECT_EQ(config.GetPFrameRange().maximum, 8);
    EXPECT_EQ(config.GetClosedGopIntervalRange().minimum, 1);
    EXPECT_EQ(config.GetBFrameRange().maximum, 2);
}

TEST(CodecKindsTest, Mpeg2GopStructureTextEndsForEveryNAndM)
{
    const QString iOnly = QStringLiteral("I I I I I I I I I I I I I I I I ...");
    struct Case
    {
        int n, m;
        QString text;
    };
    const Case cases[] = {
        {15, 3, QStringLiteral("I BB P BB P BB P BB P BB I")},
        {12, 1, QStringLiteral("I P P P P P P P P P P P I")},
        {1, 3, iOnly},
        {0, 3, iOnly},
        {-4, 2, iOnly},
        {2, 3, QStringLiteral("I B I")},
        {5, 3, QStringLiteral("I BB P B I")},
        {8, 3, QStringLiteral("I BB P BB P B I")},
        {7, 2, QStringLiteral("I B P B P B P I")},
        {4, 0, QStringLiteral("I P P P I")},
        {4, -7, QStringLiteral("I P P P I")},
        {3, 1000000, QStringLiteral("I BB I")},
        // The extremes a stored text can hold.
        {4, std::numeric_limits<int>::min(), QStringLiteral("I P P P I")},
        {std::numeric_limits<int>::min(), std::numeric_limits<int>::min(), iOnly},
        {std::numeric_limits<int>::min(), 3, iOnly},
        {3, std::numeric_limits<int>::max(), QStringLiteral("I BB I")},
    };
    for (const Case& rCase : cases) {
        CodecConfigMPEG2 config;
        config.SetOption("mpegvc_gopn", QString::number(rCase.n));
        config.SetOption("mpegvc_gopm", QString::number(rCase.m));
        EXPECT_EQ(config.GetGopStructureText(), rCase.text) << rCase.n << " " << rCase.m;
    }

    CodecConfigMPEG2 huge;
    huge.SetOption("mpegvc_gopn", QString::number(std::numeric_limits<int>::max()));
    huge.SetOption("mpegvc_gopm", QStringLiteral("1"));
    const QString text = huge.GetGopStructureText();
    EXPECT_EQ(text.size(), 1 + 2 * (CodecConfigMPEG2::mpGopTextFrameLimit - 1) + 4);
    EXPECT_TRUE(text.endsWith(QStringLiteral(" P ...")));
}

} // namespace
