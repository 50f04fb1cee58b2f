#include <joxgui/CodecConfigWidgetFFMedia.h>
#include <joxgui/CodecConfigWidgetH264.h>
#include <joxgui/CodecConfigWidgetJPEG2000.h>
#include <joxgui/CodecConfigWidgetMOV.h>
#include <joxgui/CodecConfigWidgetMPEG2.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace JoxCore;
using namespace JoxGui;

template <typename Control>
Control* Find(QWidget& rWidget, const char* pName)
{
    Control* pControl = rWidget.findChild<Control*>(QLatin1String(pName));
    EXPECT_NE(pControl, nullptr) << pName;
    return pControl;
}

// Moves the combo's selection to the item with rText by arrow keys, as an
// operator does; every step is an edit.
void Choose(QComboBox* pCombo, const QString& rText)
{
    const int target = pCombo->findText(rText);
    ASSERT_GE(target, 0) << rText.toStdString();
    while (pCombo->currentIndex() != target) {
        const int before = pCombo->currentIndex();
        QTest::keyClick(pCombo, target > before ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_NE(pCombo->currentIndex(), before) << rText.toStdString();
    }
}

// Replaces the spin box's text and confirms it with Enter.
void Type(QAbstractSpinBox* pSpin, const QString& rText)
{
    QTest::keyClick(pSpin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(pSpin, rText);
    QTest::keyClick(pSpin, Qt::Key_Enter);
}

// The editor's controls that are enabled, by object name.
QStringList EnabledControls(QWidget& rWidget)
{
    QStringList names;
    for (QWidget* pChild : rWidget.findChildren<QWidget*>()) {
        if (!pChild->objectName().isEmpty() && !pChild->objectName().startsWith(QLatin1String("qt_"))
            && pChild->isEnabled() && !qobject_cast<QLineEdit*>(pChild))
            names << pChild->objectName();
    }
    names.sort();
    return names;
}

class Mpeg2WidgetTest : public ::testing::Test
{
protected:
    void Show(const CodecConfigMPEG2& rConfig)
    {
        mWidget.resize(900, 700);
        mWidget.SetConfig(rConfig);
        mWidget.show();
    }
    template <typename Control>
    Control* Get(const char* pName)
    {
        return Find<Control>(mWidget, pName);
    }

    CodecConfigWidgetMPEG2 mWidget;
};

TEST_F(Mpeg2WidgetTest, ShowsTheConfigurationAndStoresOnlyTheEditedKey)
{
    CodecConfigMPEG2 config;
    config.SetOption("mpegvc_averagebitrate", QStringLiteral("15006000"));
    config.SetOption("mpegvc_minbitrate", QStringLiteral("4005000"));
    Show(config);

    EXPECT_EQ(Get<QSlider>("averageSlider")->value(), 1501); // rounded, not truncated
    EXPECT_DOUBLE_EQ(Get<QDoubleSpinBox>("averageSpin")->value(), 15.01);
    EXPECT_EQ(Get<QSlider>("pFrameSlider")->value(), 4);
    EXPECT_EQ(Get<QSpinBox>("bFrameSpin")->value(), 2);
    EXPECT_FALSE(Get<QCheckBox>("iFrameOnlyCheck")->isChecked());
    EXPECT_EQ(Get<QComboBox>("gopTypeCombo")->currentText(), QStringLiteral("Open GOPs"));
    EXPECT_FALSE(Get<QSpinBox>("closedGopSpin")->isEnabled());
    EXPECT_EQ(Get<QComboBox>("levelCombo")->currentText(), QStringLiteral("High Level"));
    EXPECT_EQ(Get<QLineEdit>("gopStructureEdit")->text(), config.GetGopStructureText());

    Type(Get<QDoubleSpinBox>("averageSpin"), QStringLiteral("12"));
    CodecConfigMPEG2 expected = config;
    expected.SetOption("mpegvc_averagebitrate", QStringLiteral("12000000"));
    EXPECT_EQ(mWidget.GetConfig(), expected);
    EXPECT_EQ(Get<QSlider>("averageSlider")->value(), 1200);

    // Editing one control leaves the keys of the others exactly as stored.
    Choose(Get<QComboBox>("dcPrecisionCombo"), QStringLiteral("10 Bit"));
    expected.SetOption("mpegvc_dcprecision", QStringLiteral("2"));
    EXPECT_EQ(mWidget.GetConfig(), expected);

    QTest::keyClick(Get<QSlider>("bFrameSlider"), Qt::Key_Left);
    EXPECT_EQ(mWidget.GetConfig().GetGopM(), 2);
    EXPECT_EQ(mWidget.GetConfig().GetGopN(), 10); // M x (P + 1)
    EXPECT_EQ(Get<QSpinBox>("bFrameSpin")->value(), 1);
}

TEST_F(Mpeg2WidgetTest, IFrameOnlyBox)
{
    CodecConfigMPEG2 config;
    config.SetGopN(1);
    config.SetGopM(1);
    Show(config);
    EXPECT_TRUE(Get<QCheckBox>("iFrameOnlyCheck")->isChecked());
    EXPECT_FALSE(Get<QSlider>("pFrameSlider")->isEnabled());
    EXPECT_FALSE(Get<QSpinBox>("bFrameSpin")->isEnabled());

    QTest::keyClick(Get<QCheckBox>("iFrameOnlyCheck"), Qt::Key_Space);
    EXPECT_EQ(mWidget.GetConfig().GetGopN(), 15);
    EXPECT_EQ(mWidget.GetConfig().GetGopM(), 3);
    EXPECT_EQ(Get<QLineEdit>("gopStructureEdit")->text(), QStringLiteral("I BB P BB P BB P BB P BB I"));
    EXPECT_TRUE(Get<QSlider>("pFrameSlider")->isEnabled());

    QTest::keyClick(Get<QCheckBox>("iFrameOnlyCheck"), Qt::Key_Space);
    EXPECT_EQ(mWidget.GetConfig().GetGopN(), 1);
    EXPECT_EQ(mWidget.GetConfig().GetGopM(), 1);
}

// Any int may be stored for N and M; the counts show the nearest values
// their controls can hold.
TEST_F(Mpeg2WidgetTest, StoredGopExtremesShowAsTheNearestCounts)
{
    const int low = std::numeric_limits<int>::min();
    const int high = std::numeric_limits<int>::max();
    struct Case
    {
        int n, m, pFrames, bFrames;
    };
    const Case cases[] = {
        {low, 1, 1, 0}, {4, low, 1, 0}, {low, low, 1, 0}, {high, 1, 8, 0}, {15, high, 1, 2}, {high, high, 1, 2},
    };
    for (const Case& rCase : cases) {
        CodecConfigMPEG2 config;
        config.SetOption("mpegvc_gopn", QString::number(rCase.n));
        config.SetOption("mpegvc_gopm", QString::number(rCase.m));
        Show(config);
        EXPECT_EQ(Get<QSlider>("pFrameSlider")->value(), rCase.pFrames) << rCase.n << " " << rCase.m;
        EXPECT_EQ(Get<QSpinBox>("pFrameSpin")->value(), rCase.pFrames) << rCase.n << " " << rCase.m;
        EXPECT_EQ(Get<QSlider>("bFrameSlider")->value(), rCase.bFrames) << rCase.n << " " << rCase.m;
        EXPECT_EQ(Get<QSpinBox>("bFrameSpin")->value(), rCase.bFrames) << rCase.n << " " << rCase.m;
        EXPECT_EQ(mWidget.GetConfig(), config); // shown, not stored
    }
}

TEST_F(Mpeg2WidgetTest, OpenAndClosedGops)
{
    Show(CodecConfigMPEG2());
    Choose(Get<QComboBox>("gopTypeCombo"), QStringLiteral("Closed GOPs"));
    EXPECT_EQ(mWidget.GetConfig().GetClosedGopInterval(), 1);
    EXPECT_TRUE(Get<QSpinBox>("closedGopSpin")->isEnabled());
    Type(Get<QSpinBox>("closedGopSpin"), QStringLiteral("5"));
    EXPECT_EQ(mWidget.GetConfig().GetClosedGopInterval(), 5);
    Choose(Get<QComboBox>("gopTypeCombo"), QStringLiteral("Open GOPs"));
    EXPECT_EQ(mWidget.GetConfig().GetClosedGopInterval(), 0);
    EXPECT_FALSE(Get<QSpinBox>("closedGopSpin")->isEnabled());
}

TEST_F(Mpeg2WidgetTest, PresetsLockTheControlsUntilNoneIsChosen)
{
    CodecConfigMPEG2 preset;
    preset.ApplyPreset(1);
    Show(preset);
    EXPECT_EQ(EnabledControls(mWidget), QStringList{"presetCombo"});

    Choose(Get<QComboBox>("presetCombo"), QStringLiteral("None"));
    EXPECT_EQ(mWidget.GetConfig(), CodecConfigMPEG2());
    EXPECT_TRUE(Get<QComboBox>("profileCombo")->isEnabled());
    EXPECT_FALSE(Get<QSpinBox>("closedGopSpin")->isEnabled());

    Choose(Get<QComboBox>("presetCombo"), QStringLiteral("Long-GOP, 10+MBit/s MPEG2-TS"));
    EXPECT_EQ(mWidget.GetConfig().GetPresetIndex(), 1);
    EXPECT_EQ(mWidget.GetConfig(), preset);
}

// A configuration that came from a preset and was changed since keeps the
// operator's edits: the preset combo is applied only when it is chosen.
TEST_F(Mpeg2WidgetTest, EditsOfAChangedPresetAreKept)
{
    CodecConfigMPEG2 config;
    config.ApplyPreset(2);
    config.SetGopN(12);
    Show(config);
    EXPECT_EQ(Get<QComboBox>("presetCombo")->currentText(), QStringLiteral("None"));

    Choose(Get<QComboBox>("motionSearchCombo"), QStringLiteral("High quality (very slow)"));
    CodecConfigMPEG2 expected = config;
    expected.SetMotionSearch(23);
    EXPECT_EQ(mWidget.GetConfig(), expected);
    EXPECT_EQ(mWidget.GetConfig().GetAverageBitrate(), 25000000);
}

TEST_F(Mpeg2WidgetTest, ANewProfileRechecksTheKeysThatDependOnIt)
{
    CodecConfigMPEG2 config;
    config.SetLevel(6);
    config.SetChromaFormat(2);
    config.SetDcPrecision(3);
    config.SetBitrates(4000000, 70000000, 65000000);
    Show(config);

    Choose(Get<QComboBox>("profileCombo"), QStringLiteral("Main Profile"));
    const CodecConfigMPEG2& rStored = mWidget.GetConfig();
    EXPECT_EQ(rStored.GetProfile(), 4);
    EXPECT_EQ(rStored.GetLevel(), 6);
    EXPECT_EQ(rStored.GetChromaFormat(), 1);
    EXPECT_EQ(rStored.GetDcPrecision(), 0);
    EXPECT_EQ(rStored.GetMaxBitrate(), 60000000);
    EXPECT_EQ(rStored.GetAverageBitrate(), 60000000);
    EXPECT_EQ(Get<QComboBox>("chromaCombo")->count(), 1);
}

// A High profile H.264 configuration with the level and the rates stored as given.
CodecConfigH264 H264(const QString& rLevel, const QString& rMaxrate, const QString& rBitrate)
{
    CodecConfigH264 config;
    config.SetOption("ffmedia_profile", QStringLiteral("3"));
    config.SetOption("ffmedia_level", rLevel);
    config.SetOption("ffmedia_vmaxrate", rMaxrate);
    config.SetOption("ffmedia_vbitrate", rBitrate);
    return config;
}

TEST(H264WidgetTest, ANewLevelSetsTheBitratesInThePinnedOrder)
{
    const CodecConfigH264 config = H264(QStringLiteral("8"), QStringLiteral("8000"), QStringLiteral("5000"));
    CodecConfigWidgetH264 widget;
    widget.SetConfig(config);
    widget.show();

    // Half of 25000 is limited by the maximum stored before, 8000. One step
    // straight to the last level, "4.0".
    QTest::keyClick(Find<QComboBox>(widget, "levelCombo"), Qt::Key_End);
    EXPECT_EQ(widget.GetConfig().GetLevel(), 11);
    EXPECT_EQ(widget.GetConfig().GetVideoMaxrate(), 25000);
    EXPECT_EQ(widget.GetConfig().GetVideoBitrate(), 8000);
    EXPECT_EQ(Find<QSlider>(widget, "maxrateSlider")->maximum(), 25000);
    EXPECT_DOUBLE_EQ(Find<QDoubleSpinBox>(widget, "maxrateSpin")->value(), 25.0);
}

TEST(H264WidgetTest, EditsAndRateControl)
{
    CodecConfigH264 config = H264(QStringLiteral("11"), QStringLiteral("20000"), QStringLiteral("5000"));
    config.SetOption("ffmedia_gopsize", QStringLiteral("30"));
    config.SetOption("ffmedia_chroma", QStringLiteral("5")); // not in the list
    CodecConfigWidgetH264 widget;
    widget.SetConfig(config);
    widget.show();
    EXPECT_EQ(Find<QComboBox>(widget, "chromaCombo")->currentText(), QStringLiteral("4:2:0"));

    Type(Find<QDoubleSpinBox>(widget, "bitrateSpin"), QStringLiteral("3.5"));
    Type(Find<QSpinBox>(widget, "gopSizeSpin"), QStringLiteral("60"));
    CodecConfigH264 expected = config;
    expected.SetOption("ffmedia_vbitrate", QStringLiteral("3500"));
    expected.SetOption("ffmedia_gopsize", QStringLiteral("60"));
    EXPECT_EQ(widget.GetConfig(), expected); // the chroma stays as stored
    EXPECT_EQ(Find<QSlider>(widget, "bitrateSlider")->value(), 3500);

    QTest::keyClick(Find<QSlider>(widget, "maxrateSlider"), Qt::Key_PageDown);
    EXPECT_EQ(widget.GetConfig().GetVideoMaxrate(), 20000 - Find<QSlider>(widget, "maxrateSlider")->pageStep());

    Choose(Find<QComboBox>(widget, "rateControlCombo"), QStringLiteral("CRF18"));
    EXPECT_EQ(widget.GetConfig().GetRateControl(), 1);
    for (const char* pName : {"bitrateSlider", "bitrateSpin", "maxrateSlider", "maxrateSpin"})
        EXPECT_FALSE(Find<QWidget>(widget, pName)->isEnabled()) << pName;
}

CodecConfigFFMedia FFMedia()
{
    CodecConfigFFMedia config;
    config.SetAdditional("formattype", QStringLiteral("mpeg4"));
    config.SetAdditional("video", QStringLiteral("true"));
    config.SetAdditional("audio", QStringLiteral("true"));
    return config;
}

TEST(FFMediaWidgetTest, APresetLocksTheControlsAndCustomizedKeepsEdits)
{
    CodecConfigFFMedia proxy = FFMedia();
    proxy.SetUserPreset(CodecConfigFFMedia::PresetProxy);
    CodecConfigWidgetFFMedia widget(true, true);
    widget.SetConfig(proxy);
    widget.show();
    EXPECT_EQ(EnabledControls(widget), QStringList{"presetCombo"});

    Choose(Find<QComboBox>(widget, "presetCombo"), QStringLiteral("Customized"));
    EXPECT_EQ(widget.GetConfig().GetUserPreset(), CodecConfigFFMedia::PresetCustom);
    EXPECT_EQ(widget.GetConfig().GetSpeedPreset(), 5);
    EXPECT_TRUE(Find<QSpinBox>(widget, "gopSizeSpin")->isEnabled());

    // An edit under "Customized" does not write the preset's block again.
    CodecConfigFFMedia custom = widget.GetConfig();
    custom.SetSpeedPreset(3);
    widget.SetConfig(custom);
    Type(Find<QSpinBox>(widget, "gopSizeSpin"), QStringLiteral("48"));
    Choose(Find<QComboBox>(widget, "audioBitrateCombo"), QStringLiteral("160"));
    CodecConfigFFMedia expected = custom;
    expected.SetGopSize(48);
    expected.SetAudioBitrate(160);
    EXPECT_EQ(widget.GetConfig(), expected);
}

TEST(FFMediaWidgetTest, RatesScaleWithoutOverflowAndRound)
{
    CodecConfigFFMedia config = FFMedia();
    config.SetUserPreset(CodecConfigFFMedia::PresetCustom);
    config.SetProfile(1);
    config.SetOption("ffmedia_vbitrate", QStringLiteral("3000000")); // beyond the range, x1000 beyond int
    config.SetOption("ffmedia_vmaxrate", QStringLiteral("1235"));
    CodecConfigWidgetFFMedia widget(true, false);
    widget.SetConfig(config);
    widget.show();
    EXPECT_EQ(Find<QSlider>(widget, "bitrateSlider")->maximum(), 5000);
    EXPECT_EQ(Find<QSlider>(widget, "bitrateSlider")->value(), 5000);
    EXPECT_EQ(Find<QSlider>(widget, "maxrateSlider")->value(), 124);
    EXPECT_EQ(widget.findChild<QComboBox*>(QStringLiteral("audioCodecCombo")), nullptr);

    QTest::keyClick(Find<QSlider>(widget, "maxrateSlider"), Qt::Key_Right);
    EXPECT_EQ(widget.GetConfig().GetVideoMaxrate(), 1250);
    EXPECT_EQ(widget.GetConfig().GetVideoBitrate(), 1250); // limited by the new maximum
    EXPECT_DOUBLE_EQ(Find<QDoubleSpinBox>(widget, "maxrateSpin")->value(), 1.25);

    Type(Find<QDoubleSpinBox>(widget, "bitrateSpin"), QStringLiteral("0.5"));
    EXPECT_EQ(widget.GetConfig().GetVideoBitrate(), 500);
    EXPECT_EQ(widget.GetConfig().GetVideoMaxrate(), 1250);
}

TEST(Jpeg2000WidgetTest, RateLimitTransformAndEditLag)
{
    CodecConfigJPEG2000 config;
    config.SetAdditional("frame_rate", QStringLiteral("25"));
    config.SetConstantBitRate(100);
    CodecConfigWidgetJPEG2000 widget;
    widget.SetConfig(config);
    widget.show();
    EXPECT_EQ(Find<QSpinBox>(widget, "bitRateSpin")->value(), 100);
    EXPECT_TRUE(Find<QRadioButton>(widget, "limitedButton")->isChecked());

    Type(Find<QSpinBox>(widget, "bitRateSpin"), QStringLiteral("200"));
    EXPECT_EQ(widget.GetConfig().GetEffectParameter("jp2kratecontrol", "codestreamsize"), QStringLiteral("1000000"));

    QTest::keyClick(Find<QRadioButton>(widget, "noLimitButton"), Qt::Key_Space);
    EXPECT_TRUE(widget.GetConfig().GetConstantNoLimit());
    EXPECT_EQ(widget.GetConfig().GetEffectParameter("jp2kratecontrol", "codestreamsize"), QStringLiteral("-1"));
    EXPECT_FALSE(Find<QSpinBox>(widget, "bitRateSpin")->isEnabled());

    QTest::keyClick(Find<QCheckBox>(widget, "transformCheck"), Qt::Key_Space);
    Type(Find<QSpinBox>(widget, "editLagSpin"), QStringLiteral("3"));
    CodecConfigJPEG2000 expected = config;
    expected.SetConstantBitRate(200);
    expected.SetConstantNoLimit(true);
    expected.SetTransform(true);
    expected.SetEditLag(3);
    EXPECT_EQ(widget.GetConfig(), expected);

    // Without a frame rate (as every configuration made here is) the editor
    // still goes back and forth between the two modes and keeps typed rates.
    CodecConfigWidgetJPEG2000 noFrameRate;
    noFrameRate.show();
    Type(Find<QSpinBox>(noFrameRate, "bitRateSpin"), QStringLiteral("50"));
    EXPECT_EQ(Find<QSpinBox>(noFrameRate, "bitRateSpin")->value(), 50);
    EXPECT_EQ(noFrameRate.GetConfig().GetConstantBitRate(), 50);
    QTest::keyClick(Find<QRadioButton>(noFrameRate, "noLimitButton"), Qt::Key_Space);
    EXPECT_TRUE(noFrameRate.GetConfig().GetConstantNoLimit());
    EXPECT_FALSE(Find<QSpinBox>(noFrameRate, "bitRateSpin")->isEnabled());
    QTest::keyClick(Find<QRadioButton>(noFrameRate, "limitedButton"), Qt::Key_Space);
    EXPECT_FALSE(noFrameRate.GetConfig().GetConstantNoLimit());
    EXPECT_TRUE(Find<QRadioButton>(noFrameRate, "limitedButton")->isChecked());
    EXPECT_TRUE(Find<QSpinBox>(noFrameRate, "bitRateSpin")->isEnabled());
    Type(Find<QSpinBox>(noFrameRate, "bitRateSpin"), QStringLiteral("80"));
    EXPECT_EQ(Find<QSpinBox>(noFrameRate, "bitRateSpin")->value(), 80);
    EXPECT_EQ(noFrameRate.GetConfig().GetConstantBitRate(), 80);
    EXPECT_EQ(noFrameRate.GetConfig().GetEffectParameter("jp2kratecontrol", "codestreamsize"), QStringLiteral("-1"));
}

TEST(MovWidgetTest, EditsWriteTheirOwnKeys)
{
    CodecConfigMOV config;
    config.SetOption("qtvc_closed_caption_track_type", QStringLiteral("5")); // not in the list
    config.SetAudioPacking(1);
    CodecConfigWidgetMOV widget;
    widget.SetConfig(config);
    widget.show();
    EXPECT_EQ(Find<QComboBox>(widget, "closedCaptionCombo")->currentText(), QStringLiteral("CEA-708"));
    EXPECT_EQ(widget.GetConfig(), config);

    Choose(Find<QComboBox>(widget, "packingCombo"), QStringLiteral("Single track"));
    QTest::keyClick(Find<QCheckBox>(widget, "forceCaptionsCheck"), Qt::Key_Space);
    Type(Find<QSpinBox>(widget, "chunkSizeSpin"), QStringLiteral("4096"));
    Type(Find<QSpinBox>(widget, "durationFallbackSpin"), QStringLiteral("-2"));
    CodecConfigMOV expected = config;
    expected.SetAudioPacking(2);
    expected.SetForceClosedCaptions(true);
    expected.SetSidecarChunkSize(4096);
    expected.SetSidecarDurationFallback(-2);
    EXPECT_EQ(widget.GetConfig(), expected);

    Choose(Find<QComboBox>(widget, "closedCaptionCombo"), QStringLiteral("None"));
    EXPECT_EQ(widget.GetConfig().GetClosedCaptionType(), 0);
}

} // namespace
