#include <joxgui/CodecConfigWidgetFFMedia.h>

#include <joxgui/CodecWidgetHelpers.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSlider>
#include <QSpinBox>

namespace JoxGui {

namespace {

// Stored rates are in kbit/s; a slider step is 10 kbit/s, spin boxes show Mbit/s.
const RateScale mpRateScale{1000, 10000, 1000000.0};

} // namespace

CodecConfigWidgetFFMedia::CodecConfigWidgetFFMedia(bool withVideo, bool withAudio, QWidget* pParent)
    : QWidget(pParent)
    , mpPresetCombo(Named(new QComboBox, "presetCombo"))
    , mpFormatCombo(Named(new QComboBox, "formatCombo"))
{
    auto* pLayout = new QFormLayout(this);
    pLayout->addRow(tr("Preset"), mpPresetCombo);
    pLayout->addRow(tr("Format"), mpFormatCombo);
    connect(mpPresetCombo, &QComboBox::activated, this, &CodecConfigWidgetFFMedia::UpdateConfig);
    connect(mpFormatCombo, &QComboBox::activated, this, &CodecConfigWidgetFFMedia::UpdateConfig);

    if (withVideo) {
        mpProfileCombo = Named(new QComboBox, "profileCombo");
        mpBitrateSlider = Named(new QSlider(Qt::Horizontal), "bitrateSlider");
        mpBitrateSpin = NewRateSpin("bitrateSpin", 2);
        mpMaxrateSlider = Named(new QSlider(Qt::Horizontal), "maxrateSlider");
        mpMaxrateSpin = NewRateSpin("maxrateSpin", 2);
        mpGopSizeSpin = Named(new QSpinBox, "gopSizeSpin");
        mpGopSizeSpin->setKeyboardTracking(false);
        pLayout->addRow(tr("Profile"), mpProfileCombo);
        pLayout->addRow(tr("Bitrate"), mpBitrateSlider);
        pLayout->addRow(QString(), mpBitrateSpin);
        pLayout->addRow(tr("Maximum bitrate"), mpMaxrateSlider);
        pLayout->addRow(QString(), mpMaxrateSpin);
        pLayout->addRow(tr("GOP size"), mpGopSizeSpin);
        connect(mpProfileCombo, &QComboBox::activated, this, &CodecConfigWidgetFFMedia::UpdateConfig);
        for (QSlider* pSlider : {mpBitrateSlider, mpMaxrateSlider})
            connect(pSlider, &QSlider::valueChanged, this, &CodecConfigWidgetFFMedia::UpdateSpins);
        for (QDoubleSpinBox* pSpin : {mpBitrateSpin, mpMaxrateSpin})
            connect(pSpin, &QDoubleSpinBox::valueChanged, this, &CodecConfigWidgetFFMedia::UpdateSliders);
        connect(mpGopSizeSpin, &QSpinBox::valueChanged, this, &CodecConfigWidgetFFMedia::UpdateConfig);
    }
    if (withAudio) {
        mpAudioCodecCombo = Named(new QComboBox, "audioCodecCombo");
        mpAudioBitrateCombo = Named(new QComboBox, "audioBitrateCombo");
        pLayout->addRow(tr("Audio codec"), mpAudioCodecCombo);
        pLayout->addRow(tr("Audio bitrate"), mpAudioBitrateCombo);
        for (QComboBox* pCombo : {mpAudioCodecCombo, mpAudioBitrateCombo})
            connect(pCombo, &QComboBox::activated, this, &CodecConfigWidgetFFMedia::UpdateConfig);
    }
    UpdateGui();
}

void CodecConfigWidgetFFMedia::SetConfig(const JoxCore::CodecConfigFFMedia& rConfig)
{
    mConfig = rConfig;
    UpdateGui();
}

void CodecConfigWidgetFFMedia::UpdateGui()
{
    const bool custom = mConfig.GetUserPreset() == JoxCore::CodecConfigFFMedia::PresetCustom;
    mpPresetCombo->setEnabled(true);
    FillCodecCombo(mpPresetCombo, mConfig.GetUserPresetChoices(), mConfig.GetUserPreset());
    FillCodecCombo(mpFormatCombo, mConfig.GetFormatChoices(), mConfig.GetFormat());
    mpFormatCombo->setEnabled(custom);
    if (mpProfileCombo) {
        FillCodecCombo(mpProfileCombo, mConfig.GetProfileChoices(), mConfig.GetProfile());
        const JoxCore::CodecRange range = mConfig.GetVideoRange();
        ShowRate(mpBitrateSlider, mpBitrateSpin, range, mConfig.GetVideoBitrate(), mpRateScale);
        ShowRate(mpMaxrateSlider, mpMaxrateSpin, range, mConfig.GetVideoMaxrate(), mpRateScale);
        ShowCount(mpGopSizeSpin, {-1, 120}, mConfig.GetGopSize());
        SetEnabled({mpProfileCombo, mpBitrateSlider, mpBitrateSpin, mpMaxrateSlider, mpMaxrateSpin, mpGopSizeSpin},
                   custom);
    }
    if (mpAudioCodecCombo) {
        FillCodecCombo(mpAudioCodecCombo, mConfig.GetAudioCodecChoices(), mConfig.GetAudioCodec());
        FillCodecCombo(mpAudioBitrateCombo, mConfig.GetAudioBitrateChoices(), mConfig.GetAudioBitrate());
        SetEnabled({mpAudioCodecCombo, mpAudioBitrateCombo}, custom);
    }
}

void CodecConfigWidgetFFMedia::UpdateConfig()
{
    const QObject* pEdited = sender();
    if (pEdited && pEdited == mpPresetCombo) {
        mConfig.SetUserPreset(CodecComboValue(mpPresetCombo));
        UpdateGui();
        return;
    }
    if (mConfig.GetUserPreset() != JoxCore::CodecConfigFFMedia::PresetCustom) {
        UpdateGui();
        return;
    }
    if (IsEditOf(pEdited, {mpFormatCombo}))
        mConfig.SetFormat(CodecComboValue(mpFormatCombo));
    if (mpProfileCombo) {
        const QByteArray maxrateKey("ffmedia_vmaxrate");
        // The stored maximum; the range's maximum while none is stored.
        const auto maxrate = [this, &maxrateKey] {
            return mConfig.Options().contains(maxrateKey) ? mConfig.GetVideoMaxrate() : mConfig.GetVideoRange().maximum;
        };
        if (IsEditOf(pEdited, {mpProfileCombo})) {
            // The profile decides the range: rates already stored are checked again.
            mConfig.SetProfile(CodecComboValue(mpProfileCombo));
            if (mConfig.Options().contains("ffmedia_vbitrate") || mConfig.Options().contains(maxrateKey))
                mConfig.SetVideoBitrates(mConfig.GetVideoBitrate(), maxrate());
        }
        if (!pEdited)
            mConfig.SetVideoBitrates(StoredRate(mpBitrateSlider, mpRateScale),
                                     StoredRate(mpMaxrateSlider, mpRateScale));
        else if (pEdited == mpBitrateSlider || pEdited == mpBitrateSpin)
            mConfig.SetVideoBitrates(StoredRate(mpBitrateSlider, mpRateScale), maxrate());
        else if (pEdited == mpMaxrateSlider || pEdited == mpMaxrateSpin)
            mConfig.SetVideoBitrates(mConfig.GetVideoBitrate(), StoredRate(mpMaxrateSlider, mpRateScale));
        if (IsEditOf(pEdited, {mpGopSizeSpin}))
            mConfig.SetGopSize(mpGopSizeSpin->value());
    }
    if (mpAudioCodecCombo) {
        if (IsEditOf(pEdited, {mpAudioCodecCombo}))
            mConfig.SetAudioCodec(CodecComboValue(mpAudioCodecCombo));
        if (IsEditOf(pEdited, {mpAudioBitrateCombo}))
            mConfig.SetAudioBitrate(CodecComboValue(mpAudioBitrateCombo));
    }
    UpdateGui();
}

void CodecConfigWidgetFFMedia::UpdateSpins()
{
    RateSpinFromSlider(mpBitrateSpin, mpBitrateSlider, mpRateScale);
    RateSpinFromSlider(mpMaxrateSpin, mpMaxrateSlider, mpRateScale);
    UpdateConfig();
}

void CodecConfigWidgetFFMedia::UpdateSliders()
{
    RateSliderFromSpin(mpBitrateSlider, mpBitrateSpin, mpRateScale);
    RateSliderFromSpin(mpMaxrateSlider, mpMaxrateSpin, mpRateScale);
    UpdateConfig();
}

} // namespace JoxGui
