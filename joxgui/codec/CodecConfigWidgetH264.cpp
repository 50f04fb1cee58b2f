#include <joxgui/CodecConfigWidgetH264.h>

#include <joxgui/CodecWidgetHelpers.h>
#include <joxgui/WidgetHelpers.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSlider>
#include <QSpinBox>

namespace JoxGui {

namespace {

// Sliders and stored values are in kbit/s, spin boxes in Mbit/s.
const double mpSpinUnit = 1000.0;
const RateScale mpRateScale{1, 1, mpSpinUnit};

} // namespace

CodecConfigWidgetH264::CodecConfigWidgetH264(QWidget* pParent)
    : QWidget(pParent)
    , mpProfileCombo(Named(new QComboBox, "profileCombo"))
    , mpLevelCombo(Named(new QComboBox, "levelCombo"))
    , mpChromaCombo(Named(new QComboBox, "chromaCombo"))
    , mpRateControlCombo(Named(new QComboBox, "rateControlCombo"))
    , mpSpeedPresetCombo(Named(new QComboBox, "speedPresetCombo"))
    , mpAudioCodecCombo(Named(new QComboBox, "audioCodecCombo"))
    , mpAudioBitrateCombo(Named(new QComboBox, "audioBitrateCombo"))
    , mpBitrateSlider(Named(new QSlider(Qt::Horizontal), "bitrateSlider"))
    , mpBitrateSpin(NewRateSpin("bitrateSpin", 3))
    , mpMaxrateSlider(Named(new QSlider(Qt::Horizontal), "maxrateSlider"))
    , mpMaxrateSpin(NewRateSpin("maxrateSpin", 3))
    , mpGopSizeSpin(Named(new QSpinBox, "gopSizeSpin"))
{
    mpGopSizeSpin->setKeyboardTracking(false);

    auto* pLayout = new QFormLayout(this);
    pLayout->addRow(tr("Profile"), mpProfileCombo);
    pLayout->addRow(tr("Level"), mpLevelCombo);
    pLayout->addRow(tr("Chroma format"), mpChromaCombo);
    pLayout->addRow(tr("Rate control"), mpRateControlCombo);
    pLayout->addRow(tr("Speed preset"), mpSpeedPresetCombo);
    pLayout->addRow(tr("Bitrate"), mpBitrateSlider);
    pLayout->addRow(QString(), mpBitrateSpin);
    pLayout->addRow(tr("Maximum bitrate"), mpMaxrateSlider);
    pLayout->addRow(QString(), mpMaxrateSpin);
    pLayout->addRow(tr("GOP size"), mpGopSizeSpin);
    pLayout->addRow(tr("Audio codec"), mpAudioCodecCombo);
    pLayout->addRow(tr("Audio bitrate"), mpAudioBitrateCombo);

    for (QComboBox* pCombo : {mpProfileCombo, mpLevelCombo})
        connect(pCombo, &QComboBox::activated, this, &CodecConfigWidgetH264::UpdateBitrates);
    for (QComboBox* pCombo :
         {mpChromaCombo, mpRateControlCombo, mpSpeedPresetCombo, mpAudioCodecCombo, mpAudioBitrateCombo})
        connect(pCombo, &QComboBox::activated, this, &CodecConfigWidgetH264::UpdateConfig);
    for (QSlider* pSlider : {mpBitrateSlider, mpMaxrateSlider})
        connect(pSlider, &QSlider::valueChanged, this, &CodecConfigWidgetH264::UpdateSpins);
    for (QDoubleSpinBox* pSpin : {mpBitrateSpin, mpMaxrateSpin})
        connect(pSpin, &QDoubleSpinBox::valueChanged, this, &CodecConfigWidgetH264::UpdateSliders);
    connect(mpGopSizeSpin, &QSpinBox::valueChanged, this, &CodecConfigWidgetH264::UpdateConfig);

    UpdateGui();
}

void CodecConfigWidgetH264::SetConfig(const JoxCore::CodecConfigH264& rConfig)
{
    mConfig = rConfig;
    UpdateGui();
}

void CodecConfigWidgetH264::UpdateGui()
{
    FillCodecCombo(mpProfileCombo, mConfig.GetProfileChoices(), mConfig.GetProfile());
    FillCodecCombo(mpLevelCombo, mConfig.GetLevelChoices(), mConfig.GetLevel());
    FillCodecCombo(mpChromaCombo, mConfig.GetChromaChoices(), mConfig.GetChroma());
    FillCodecCombo(mpRateControlCombo, mConfig.GetRateControlChoices(), mConfig.GetRateControl());
    FillCodecCombo(mpSpeedPresetCombo, mConfig.GetSpeedPresetChoices(), mConfig.GetSpeedPreset());
    FillCodecCombo(mpAudioCodecCombo, mConfig.GetAudioCodecChoices(), mConfig.GetAudioCodec());
    FillCodecCombo(mpAudioBitrateCombo, mConfig.GetAudioBitrateChoices(), mConfig.GetAudioBitrate());

    const JoxCore::CodecRange range = mConfig.GetVideoRange();
    ShowRate(mpBitrateSlider, mpBitrateSpin, range, mConfig.GetVideoBitrate(), mpRateScale);
    ShowRate(mpMaxrateSlider, mpMaxrateSpin, range, mConfig.GetVideoMaxrate(), mpRateScale);
    ShowCount(mpGopSizeSpin, {1, 120}, mConfig.GetGopSize());
    SetEnabled({mpBitrateSlider, mpBitrateSpin, mpMaxrateSlider, mpMaxrateSpin}, mConfig.GetRateControl() == 0);
}

void CodecConfigWidgetH264::UpdateConfig()
{
    const QObject* pEdited = sender();
    if (IsEditOf(pEdited, {mpProfileCombo})) {
        mConfig.SetProfile(CodecComboValue(mpProfileCombo));
        mConfig.SetChroma(mConfig.GetChroma());
    }
    if (IsEditOf(pEdited, {mpLevelCombo}))
        mConfig.SetLevel(CodecComboValue(mpLevelCombo));
    if (IsEditOf(pEdited, {mpChromaCombo}))
        mConfig.SetChroma(CodecComboValue(mpChromaCombo));
    if (IsEditOf(pEdited, {mpRateControlCombo}))
        mConfig.SetRateControl(CodecComboValue(mpRateControlCombo));
    if (IsEditOf(pEdited, {mpSpeedPresetCombo}))
        mConfig.SetSpeedPreset(CodecComboValue(mpSpeedPresetCombo));
    if (IsEditOf(pEdited, {mpAudioCodecCombo}))
        mConfig.SetAudioCodec(CodecComboValue(mpAudioCodecCombo));
    if (IsEditOf(pEdited, {mpAudioBitrateCombo}))
        mConfig.SetAudioBitrate(CodecComboValue(mpAudioBitrateCombo));
    if (IsEditOf(pEdited, {mpBitrateSlider, mpBitrateSpin}))
        mConfig.SetVideoBitrate(ScaleRounded(qRound64(mpBitrateSpin->value() * mpSpinUnit), 1, 1));
    if (IsEditOf(pEdited, {mpMaxrateSlider, mpMaxrateSpin}))
        mConfig.SetVideoMaxrate(ScaleRounded(qRound64(mpMaxrateSpin->value() * mpSpinUnit), 1, 1));
    if (IsEditOf(pEdited, {mpGopSizeSpin}))
        mConfig.SetGopSize(mpGopSizeSpin->value());
    UpdateGui();
}

void CodecConfigWidgetH264::UpdateSpins()
{
    RateSpinFromSlider(mpBitrateSpin, mpBitrateSlider, mpRateScale);
    RateSpinFromSlider(mpMaxrateSpin, mpMaxrateSlider, mpRateScale);
    UpdateConfig();
}

void CodecConfigWidgetH264::UpdateSliders()
{
    RateSliderFromSpin(mpBitrateSlider, mpBitrateSpin, mpRateScale);
    RateSliderFromSpin(mpMaxrateSlider, mpMaxrateSpin, mpRateScale);
    UpdateConfig();
}

void CodecConfigWidgetH264::UpdateBitrates()
{
    mConfig.SetProfile(CodecComboValue(mpProfileCombo));
    mConfig.SetLevel(CodecComboValue(mpLevelCombo));
    const int maximum = JoxCore::CodecConfigH264::H264MaxBitrate(mConfig.GetLevel(), mConfig.GetProfile());
    mConfig.SetVideoBitrate(maximum / 2);
    mConfig.SetVideoMaxrate(maximum);
    // The chroma list depends on the profile.
    mConfig.SetChroma(mConfig.GetChroma());
    UpdateGui();
}

} // namespace JoxGui
