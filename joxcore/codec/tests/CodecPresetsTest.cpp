#include <joxcore/CodecConfigFFMedia.h>
#include <joxcore/CodecConfigMPEG2.h>
#include <joxcore/Mpeg2Presets.h>

#include <gtest/gtest.h>

namespace {

using namespace JoxCore;

QStringList Texts(const CodecChoiceList& rList)
{
    QStringList texts;
    for (const CodecChoice& rChoice : rList)
        texts << QString::number(rChoice.value) + QLatin1Char(' ') + rChoice.text;
    return texts;
}

TEST(Mpeg2PresetsTest, TableIsBuiltAtStartUp)
{
    EXPECT_EQ(Texts(Mpeg2PresetChoices),
              (QStringList{"0 None", "1 Long-GOP, 10+MBit/s MPEG2-TS", "2 Long-GOP, 25+MBit/s MPEG2-TS",
                           "3 I-Frame only, 50+MBit/s MPEG2-TS"}));
    EXPECT_EQ(Texts(CodecConfigMPEG2().GetPresetChoices()), Texts(Mpeg2PresetChoices));
    ASSERT_EQ(Mpeg2PresetIndexes.size(), 3u);
    ASSERT_EQ(Mpeg2Presets.size(), 3u);
    const QUuid second(QStringLiteral("b84f8aaf-6803-4221-a477-22db4ec20405"));
    EXPECT_EQ(Mpeg2PresetIndexes.at(2), second);

    const CodecConfigMPEG2& rPreset = Mpeg2Presets.at(second);
    const CodecConfig::ValueMap expected{
        {"frequency", "44100"},
        {"mpegac_bitratetype", "14"},
        {"mpegac_type", "2"},
        {"mpegvc_averagebitrate", "25000000"},
        {"mpegvc_bitratemode", "0"},
        {"mpegvc_chromaformat", "1"},
        {"mpegvc_closedgopinterval", "0"},
        {"mpegvc_dcprecision", "1"},
        {"mpegvc_gopm", "3"},
        {"mpegvc_gopn", "15"},
        {"mpegvc_level", "4"},
        {"mpegvc_maxbitrate", "25000000"},
        {"mpegvc_minbitrate", "4000000"},
        {"mpegvc_msprecision", "17"},
        {"mpegvc_profile", "1"},
        {"mpegvc_type", "50"},
    };
    EXPECT_EQ(rPreset.Options(), expected);
    EXPECT_EQ(rPreset.GetAdditional("jox_preset_uuid"), QStringLiteral("{b84f8aaf-6803-4221-a477-22db4ec20405}"));
    const CodecConfigMPEG2& rIFrame = Mpeg2Presets.at(Mpeg2PresetIndexes.at(3));
    EXPECT_EQ(rIFrame.GetGopN(), 1);
    EXPECT_EQ(rIFrame.GetMaxBitrate(), 50000000);
}

TEST(Mpeg2PresetsTest, FactoryDefaultsAndPresetUuid)
{
    const CodecConfigMPEG2 config;
    EXPECT_EQ(config.GetPresetIndex(), 0);
    EXPECT_EQ(config.GetAdditional("jox_preset_uuid"), QStringLiteral("{00000000-0000-0000-0000-000000000000}"));
    EXPECT_EQ(config.GetOption("mpegvc_type"), QStringLiteral("2"));
    EXPECT_EQ(config.GetOption("mpegvc_averagebitrate"), QStringLiteral("15000000"));
    EXPECT_EQ(config.Options().size(), 15);

    CodecConfigMPEG2 broken;
    broken.SetAdditional("jox_preset_uuid", QStringLiteral("not a uuid"));
    EXPECT_TRUE(broken.GetPresetUuid().isNull());
    EXPECT_EQ(broken.GetPresetIndex(), 0);
}

TEST(Mpeg2PresetsTest, ApplyPresetAndRecognition)
{
    CodecConfigMPEG2 config;
    config.ApplyPreset(2);
    EXPECT_EQ(config.GetPresetIndex(), 2);
    EXPECT_EQ(config.GetOption("mpegvc_averagebitrate"), QStringLiteral("25000000"));
    config.SetGopN(12);
    EXPECT_EQ(config.GetPresetIndex(), 0);

    config.ApplyPreset(3);
    EXPECT_EQ(config.GetPresetIndex(), 3);
    config.ApplyPreset(0);
    EXPECT_EQ(config, CodecConfigMPEG2());
    EXPECT_EQ(config.GetOption("mpegvc_gopn"), QStringLiteral("15"));
    EXPECT_EQ(config.GetOption("mpegvc_maxbitrate"), QStringLiteral("18000000"));

    // "None" or an unknown index on a configuration without a preset changes nothing.
    CodecConfigMPEG2 own;
    own.SetGopN(9);
    const CodecConfigMPEG2 before = own;
    own.ApplyPreset(0);
    own.ApplyPreset(42);
    EXPECT_EQ(own, before);

    // An unknown index on a preset's configuration leaves it at the defaults.
    CodecConfigMPEG2 fromPreset;
    fromPreset.ApplyPreset(1);
    fromPreset.ApplyPreset(42);
    EXPECT_EQ(fromPreset, CodecConfigMPEG2());

    // Copying a preset through SetDefaults keeps its UUID and so its index.
    CodecConfigMPEG2 copy;
    copy.SetDefaults(&Mpeg2Presets.at(Mpeg2PresetIndexes.at(1)));
    EXPECT_EQ(copy.GetPresetIndex(), 1);
    EXPECT_EQ(copy.GetAdditional("jox_preset_uuid"), QStringLiteral("{5a714323-02fa-4b3e-90aa-a2a16a115ecd}"));
}

CodecConfigFFMedia FFMedia(const char* pFormatType, bool video, bool audio)
{
    CodecConfigFFMedia config;
    config.SetAdditional("formattype", QLatin1String(pFormatType));
    config.SetAdditional("video", video ? QStringLiteral("true") : QStringLiteral("false"));
    config.SetAdditional("audio", audio ? QStringLiteral("true") : QStringLiteral("false"));
    return config;
}

TEST(FFMediaUserPresetTest, NamesAndChoices)
{
    const std::pair<const char*, int> names[] = {{"custom", 1},     {"proxy", 2},      {"bluray", 3},
                                                 {"dailiesweb", 4}, {"dailiessd", 5},  {"dailies720p", 6},
                                                 {"Proxy", 0},      {"unknown", 0},    {"", 0}};
    for (const auto& rName : names) {
        CodecConfigFFMedia config;
        config.SetAdditional("userpreset", QLatin1String(rName.first));
        EXPECT_EQ(config.GetUserPreset(), rName.second) << rName.first;
    }
    EXPECT_EQ(CodecConfigFFMedia().GetUserPreset(), 0);
    EXPECT_EQ(CodecConfigFFMedia::UserPresetName(0), QStringLiteral("unknown"));
    EXPECT_EQ(CodecConfigFFMedia::UserPresetName(7), QStringLiteral("unknown"));

    EXPECT_EQ(Texts(FFMedia("mpeg4", true, true).GetUserPresetChoices()),
              (QStringList{"2 Proxy", "4 Dailies Web", "5 Dailies SD", "6 Dailies 720p", "1 Customized"}));
    EXPECT_EQ(Texts(FFMedia("h264stream", true, true).GetUserPresetChoices()),
              (QStringList{"2 Proxy", "3 Blu-ray", "1 Customized"}));
    EXPECT_EQ(Texts(FFMedia("", true, true).GetUserPresetChoices()), (QStringList{"2 Proxy", "1 Customized"}));
}

TEST(FFMediaUserPresetTest, PresetBlocks)
{
    CodecConfigFFMedia bluray = FFMedia("h264stream", true, true);
    bluray.SetOption("ffmedia_vbitrate", QStringLiteral("5000"));
    bluray.SetUserPreset(3);
    EXPECT_EQ(bluray.GetAdditional("userpreset"), QStringLiteral("bluray"));
    EXPECT_EQ(bluray.GetFormat(), 1);
    EXPECT_EQ(bluray.GetProfile(), 3);
    EXPECT_EQ(bluray.GetRateControl(), 3);
    EXPECT_EQ(bluray.GetSpeedPreset(), 6);
    EXPECT_EQ(bluray.GetVideoPreset(), 10);
    EXPECT_FALSE(bluray.Options().contains("ffmedia_vbitrate"));
    EXPECT_EQ(bluray.GetAudioCodec(), 1);
    EXPECT_EQ(bluray.GetAudioBitrate(), 256);

    CodecConfigFFMedia proxy = FFMedia("mpeg4", true, true);
    proxy.SetOption("ffmedia_gopsize", QStringLiteral("30"));
    proxy.SetUserPreset(2);
    EXPECT_EQ(proxy.GetUserPreset(), 2);
    EXPECT_FALSE(proxy.Options().contains("ffmedia_vmaxrate"));
    EXPECT_FALSE(proxy.Options().contains("ffmedia_gopsize"));
    EXPECT_EQ(proxy.GetVideoMaxrate(), 0);
    EXPECT_EQ(proxy.GetGopSize(), -1);
    EXPECT_EQ(proxy.GetVideoBitrate(), 1900);
    EXPECT_EQ(proxy.GetProfile(), 1);
    EXPECT_EQ(proxy.GetFormat(), 0);
    EXPECT_EQ(proxy.GetAudioBitrate(), 128);

    // Blu-ray is not offered for MPEG-4: the name stored is the list's first
    // entry, but the requested block is still written (format forced to 0).
    CodecConfigFFMedia notOffered = FFMedia("mpeg4", true, true);
    notOffered.SetUserPreset(3);
    EXPECT_EQ(notOffered.GetAdditional("userpreset"), QStringLiteral("proxy"));
    EXPECT_EQ(notOffered.GetFormat(), 0);
    EXPECT_EQ(notOffered.GetVideoPreset(), 10);
    EXPECT_EQ(notOffered.GetAudioCodec(), 1);

    const std::pair<int, std::pair<int, int>> dailies[] = {{4, {300, 330}}, {5, {1000, 1100}}, {6, {3500, 3850}}};
    for (const auto& rDaily : dailies) {
        CodecConfigFFMedia config = FFMedia("mpeg4", true, false);
        config.SetUserPreset(rDaily.first);
        EXPECT_EQ(config.GetUserPreset(), rDaily.first);
        EXPECT_EQ(config.GetVideoBitrate(), rDaily.second.first);
        EXPECT_EQ(config.GetVideoMaxrate(), rDaily.second.second);
        EXPECT_EQ(config.GetGopSize(), 120);
        EXPECT_FALSE(config.Options().contains("ffmedia_acodec")); // no audio part
    }

    CodecConfigFFMedia custom = FFMedia("h264stream", false, true);
    custom.SetUserPreset(1);
    EXPECT_EQ(custom.Options().keys(), QList<QByteArray>{"ffmedia_format"});
    EXPECT_EQ(custom.GetFormat(), 1);

    // A code outside the list stores the first entry's name and writes no block.
    CodecConfigFFMedia unknown = FFMedia("mpeg4", true, true);
    unknown.SetUserPreset(9);
    EXPECT_EQ(unknown.GetAdditional("userpreset"), QStringLiteral("proxy"));
    EXPECT_TRUE(unknown.Options().isEmpty());
}

} // namespace
