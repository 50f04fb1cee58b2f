#include <joxgui/CodecConfigWidgetFFMedia.h>

#include <joxgui/CodecWidgetHelpers.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace JoxGui {

namespace {

// Stored rates are in kbit/s; a slider step is 10 kbit/s, spin boxes show Mbit/s.
const qint64 mpKbit = 1000;
const qint64 mpSliderStep = 10000;
const double mpSpinUnit = 1000000.0;

template <typename Control>
Control* Named(Control* pControl, const char* pName)
{
    pControl->setObjectName(QLatin1String(pName));
    return pControl;
}

QDoubleSpinBox* NewRateSpin(const char* pName)
{
    QDoubleSpinBox* pSpin = Named(new QDoubleSpinBox, pName);
    pSpin->setDecimals(2);
    pSpin->setKeyboardTracking(false);
    pSpin->setSuffix(QStringLiteral(" Mbit/s"));
    return pSpin;
}

void ShowRate(QSlider* pSlider, QDoubleSpinBox* pSpin, const JoxCore::CodecRange& rRange, int stored)
{
    const QSignalBlocker sliderBlocker(pSlider);
    const QSignalBlocker spinBlocker(pSpin);
    pSlider->setRange(ScaleRounded(rRange.minimum, mpKbit, mpSliderStep),
                      ScaleRounded(rRange.maximum, mpKbit, mpSliderStep));
    pSlider->setValue(ScaleRounded(stored, mpKbit, mpSliderStep));
    pSpin->setRange(rRange.minimum * mpKbit / mpSpinUnit, rRange.maximum * mpKbit / mpSpinUnit);
    pSpin->setValue(stored * mpKbit / mpSpinUnit);
}

int StoredRate(const QSlider* pSlider)
{
    return ScaleRounded(pSlider->value(), mpSliderStep, mpKbit);
}

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
        mpBitrateSpin = NewRateSpin("bitrateSpin");
        mpMaxrateSlider = Named(new QSlider(Qt::Horizontal), "maxrateSlider");
        mpMaxrateSpin = NewRateSpin("maxrateSpin");
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
        ShowRate(mpBitrateSlider, mpBitrateSpin, range, mConfig.GetVideoBitrate());
        ShowRate(mpMaxrateSlider, mpMaxrateSpin, range, mConfig.GetVideoMaxrate());
        const QSignalBlocker blocker(mpGopSizeSpin);
        mpGopSizeSpin->setRange(-1, 120);
        mpGopSizeSpin->setValue(mConfig.GetGopSize());
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
        if (IsEditOf(pEdited, {mpProfileCombo})) {
            // The profile decides the range: rates already stored are checked again.
            mConfig.SetProfile(CodecComboValue(mpProfileCombo));
            if (mConfig.Options().contains("ffmedia_vbitrate") || mConfig.Options().contains(maxrateKey))
                mConfig.SetVideoBitrates(mConfig.GetVideoBitrate(), mConfig.Options().contains(maxrateKey)
                                                                       ? mConfig.GetVideoMaxrate()
                                                                       : mConfig.GetVideoRange().maximum);
        }
        if (!pEdited)
            mConfig.SetVideoBitrates(StoredRate(mpBitrateSlider), StoredRate(mpMaxrateSlider));
        else if (pEdited == mpBitrateSlider || pEdited == mpBitrateSpin)
            mConfig.SetVideoBitrates(StoredRate(mpBitrateSlider), mConfig.Options().contains(maxrateKey)
                                                                      ? mConfig.GetVideoMaxrate()
                                                                      : mConfig.GetVideoRange().maximum);
        else if (pEdited == mpMaxrateSlider || pEdited == mpMaxrateSpin)
            mConfig.SetVideoBitrates(mConfig.GetVideoBitrate(), StoredRate(mpMaxrateSlider));
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
    for (auto pair : {std::make_pair(mpBitrateSpin, mpBitrateSlider), std::make_pair(mpMaxrateSpin, mpMaxrateSlider)}) {
        const QSignalBlocker blocker(pair.first);
        pair.first->setValue(pair.second->value() * mpSliderStep / mpSpinUnit);
    }
    UpdateConfig();
}

void CodecConfigWidgetFFMedia::UpdateSliders()
{
    for (auto pair : {std::make_pair(mpBitrateSlider, mpBitrateSpin), std::make_pair(mpMaxrateSlider, mpMaxrateSpin)}) {
        const QSignalBlocker blocker(pair.first);
        pair.first->setValue(ScaleRounded(qRound64(pair.second->value() * mpSpinUnit), 1, mpSliderStep));
    }
    UpdateConfig();
}

} // namespace JoxGui
