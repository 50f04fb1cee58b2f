#include <joxgui/CodecConfigWidgetMPEG2.h>

#include <joxgui/CodecWidgetHelpers.h>
#include <joxgui/WidgetHelpers.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>

namespace JoxGui {

namespace {

// Stored rates are in bit/s; a slider step is 10 kbit/s, spin boxes show Mbit/s.
const RateScale mpRateScale{1, 10000, 1000000.0};

QSlider* NewSlider(const char* pName)
{
    return Named(new QSlider(Qt::Horizontal), pName);
}

// The slider and the spin box of a count, both showing the value itself,
// limited to the range.
void ShowCountPair(QSlider* pSlider, QSpinBox* pSpin, const JoxCore::CodecRange& rRange, qint64 wide)
{
    const int value = static_cast<int>(std::clamp<qint64>(wide, rRange.minimum, rRange.maximum));
    {
        const QSignalBlocker sliderBlocker(pSlider);
        pSlider->setRange(rRange.minimum, rRange.maximum);
        pSlider->setValue(value);
    }
    ShowCount(pSpin, rRange, value);
}

// Gives pTo the value of pFrom (a count slider or spin box), signals blocked.
template <typename To, typename From>
void CopyCountSilently(To* pTo, const From* pFrom)
{
    const QSignalBlocker blocker(pTo);
    pTo->setValue(pFrom->value());
}

} // namespace

CodecConfigWidgetMPEG2::CodecConfigWidgetMPEG2(QWidget* pParent)
    : QWidget(pParent)
    , mpPresetCombo(Named(new QComboBox, "presetCombo"))
    , mpProfileCombo(Named(new QComboBox, "profileCombo"))
    , mpLevelCombo(Named(new QComboBox, "levelCombo"))
    , mpChromaCombo(Named(new QComboBox, "chromaCombo"))
    , mpBitrateModeCombo(Named(new QComboBox, "bitrateModeCombo"))
    , mpAverageSlider(NewSlider("averageSlider"))
    , mpAverageSpin(NewRateSpin("averageSpin", 2))
    , mpMaxSlider(NewSlider("maxSlider"))
    , mpMaxSpin(NewRateSpin("maxSpin", 2))
    , mpMinSlider(NewSlider("minSlider"))
    , mpMinSpin(NewRateSpin("minSpin", 2))
    , mpPFrameSlider(NewSlider("pFrameSlider"))
    , mpPFrameSpin(Named(new QSpinBox, "pFrameSpin"))
    , mpBFrameSlider(NewSlider("bFrameSlider"))
    , mpBFrameSpin(Named(new QSpinBox, "bFrameSpin"))
    , mpIFrameOnlyCheck(Named(new QCheckBox(tr("I-frames only")), "iFrameOnlyCheck"))
    , mpGopTypeCombo(Named(new QComboBox, "gopTypeCombo"))
    , mpClosedGopSpin(Named(new QSpinBox, "closedGopSpin"))
    , mpDcPrecisionCombo(Named(new QComboBox, "dcPrecisionCombo"))
    , mpMotionSearchCombo(Named(new QComboBox, "motionSearchCombo"))
    , mpAudioBitrateCombo(Named(new QComboBox, "audioBitrateCombo"))
    , mpGopStructureEdit(Named(new QLineEdit, "gopStructureEdit"))
{
    mpGopStructureEdit->setReadOnly(true);
    for (QSpinBox* pSpin : {mpPFrameSpin, mpBFrameSpin, mpClosedGopSpin})
        pSpin->setKeyboardTracking(false);

    auto* pLayout = new QFormLayout(this);
    pLayout->addRow(tr("Preset"), mpPresetCombo);
    pLayout->addRow(tr("Profile"), mpProfileCombo);
    pLayout->addRow(tr("Level"), mpLevelCombo);
    pLayout->addRow(tr("Chroma format"), mpChromaCombo);
    pLayout->addRow(tr("Bitrate mode"), mpBitrateModeCombo);
    pLayout->addRow(tr("Average bitrate"), mpAverageSlider);
    pLayout->addRow(QString(), mpAverageSpin);
    pLayout->addRow(tr("Maximum bitrate"), mpMaxSlider);
    pLayout->addRow(QString(), mpMaxSpin);
    pLayout->addRow(tr("Minimum bitrate"), mpMinSlider);
    pLayout->addRow(QString(), mpMinSpin);
    pLayout->addRow(tr("P-frames"), mpPFrameSlider);
    pLayout->addRow(QString(), mpPFrameSpin);
    pLayout->addRow(tr("B-frames"), mpBFrameSlider);
    pLayout->addRow(QString(), mpBFrameSpin);
    pLayout->addRow(QString(), mpIFrameOnlyCheck);
    pLayout->addRow(tr("GOP type"), mpGopTypeCombo);
    pLayout->addRow(tr("Closed GOP interval"), mpClosedGopSpin);
    pLayout->addRow(tr("DC precision"), mpDcPrecisionCombo);
    pLayout->addRow(tr("Motion search"), mpMotionSearchCombo);
    pLayout->addRow(tr("Audio bitrate"), mpAudioBitrateCombo);
    pLayout->addRow(tr("GOP structure"), mpGopStructureEdit);

    for (QComboBox* pCombo : {mpPresetCombo, mpProfileCombo, mpLevelCombo, mpChromaCombo, mpBitrateModeCombo,
                              mpGopTypeCombo, mpDcPrecisionCombo, mpMotionSearchCombo, mpAudioBitrateCombo})
        connect(pCombo, &QComboBox::activated, this, &CodecConfigWidgetMPEG2::UpdateConfig);
    for (QSlider* pSlider : {mpAverageSlider, mpMaxSlider, mpMinSlider, mpPFrameSlider, mpBFrameSlider})
        connect(pSlider, &QSlider::valueChanged, this, &CodecConfigWidgetMPEG2::UpdateSpins);
    for (QDoubleSpinBox* pSpin : {mpAverageSpin, mpMaxSpin, mpMinSpin})
        connect(pSpin, &QDoubleSpinBox::valueChanged, this, &CodecConfigWidgetMPEG2::UpdateSliders);
    for (QSpinBox* pSpin : {mpPFrameSpin, mpBFrameSpin})
        connect(pSpin, &QSpinBox::valueChanged, this, &CodecConfigWidgetMPEG2::UpdateSliders);
    connect(mpClosedGopSpin, &QSpinBox::valueChanged, this, &CodecConfigWidgetMPEG2::UpdateConfig);
    connect(mpIFrameOnlyCheck, &QCheckBox::toggled, this, &CodecConfigWidgetMPEG2::UpdateConfig);

    UpdateGui();
}

void CodecConfigWidgetMPEG2::SetConfig(const JoxCore::CodecConfigMPEG2& rConfig)
{
    mConfig = rConfig;
    UpdateGui();
}

void CodecConfigWidgetMPEG2::UpdateGui()
{
    const JoxCore::CodecChoiceList presets = mConfig.GetPresetChoices();
    const int presetIndex = mConfig.GetPresetIndex();
    FillCodecCombo(mpPresetCombo, presets, presetIndex);
    FillCodecCombo(mpProfileCombo, mConfig.GetProfileChoices(), mConfig.GetProfile());
    FillCodecCombo(mpLevelCombo, mConfig.GetLevelChoices(), mConfig.GetLevel());
    FillCodecCombo(mpChromaCombo, mConfig.GetChromaFormatChoices(), mConfig.GetChromaFormat());
    FillCodecCombo(mpBitrateModeCombo, mConfig.GetBitrateModeChoices(), mConfig.GetBitrateMode());

    const JoxCore::CodecRange range = mConfig.GetBitrateRange();
    ShowRate(mpAverageSlider, mpAverageSpin, range, mConfig.GetAverageBitrate(), mpRateScale);
    ShowRate(mpMaxSlider, mpMaxSpin, range, mConfig.GetMaxBitrate(), mpRateScale);
    ShowRate(mpMinSlider, mpMinSpin, range, mConfig.GetMinBitrate(), mpRateScale);

    // In 64 bits, since a stored N or M may be any int, the smallest one included.
    const qint64 n = mConfig.GetGopN();
    const qint64 m = mConfig.GetGopM();
    ShowCountPair(mpPFrameSlider, mpPFrameSpin, mConfig.GetPFrameRange(), m < 1 ? 0 : n / m - 1);
    ShowCountPair(mpBFrameSlider, mpBFrameSpin, mConfig.GetBFrameRange(), m - 1);
    SetCheckedSilently(mpIFrameOnlyCheck, n == 1);
    const int interval = mConfig.GetClosedGopInterval();
    FillCodecCombo(mpGopTypeCombo, mConfig.GetGopTypeChoices(), interval == 0 ? 1 : 0);
    ShowCount(mpClosedGopSpin, mConfig.GetClosedGopIntervalRange(), interval);
    FillCodecCombo(mpDcPrecisionCombo, mConfig.GetDcPrecisionChoices(), mConfig.GetDcPrecision());
    FillCodecCombo(mpMotionSearchCombo, mConfig.GetMotionSearchChoices(), mConfig.GetMotionSearch());
    FillCodecCombo(mpAudioBitrateCombo, mConfig.GetAudioBitrateChoices(), mConfig.GetAudioBitrate());

    const bool own = presetIndex == 0;
    mpPresetCombo->setEnabled(!presets.isEmpty());
    SetEnabled({mpProfileCombo, mpLevelCombo, mpChromaCombo, mpBitrateModeCombo, mpAverageSlider, mpAverageSpin,
                mpIFrameOnlyCheck, mpGopTypeCombo, mpDcPrecisionCombo, mpMotionSearchCombo, mpAudioBitrateCombo},
               own);
    SetEnabled({mpMinSlider, mpMinSpin, mpMaxSlider, mpMaxSpin}, own && mConfig.GetBitrateMode() != 1);
    SetEnabled({mpPFrameSlider, mpPFrameSpin, mpBFrameSlider, mpBFrameSpin}, own && n != 1);
    mpClosedGopSpin->setEnabled(own && interval != 0);
    UpdateGopStructureText();
}

void CodecConfigWidgetMPEG2::UpdateGopStructureText()
{
    const QString text = mConfig.GetGopStructureText();
    mpGopStructureEdit->setText(
        mpGopStructureEdit->fontMetrics().elidedText(text, Qt::ElideRight, mpGopStructureEdit->width() - 3));
}

void CodecConfigWidgetMPEG2::UpdateConfig()
{
    const QObject* pEdited = sender();
    JoxCore::CodecConfigMPEG2& rConfig = mConfig;
    // The bit rates again, so a changed profile, level or mode re-checks them.
    auto recheckBitrates = [&rConfig] {
        rConfig.SetBitrates(rConfig.GetMinBitrate(), rConfig.GetMaxBitrate(), rConfig.GetAverageBitrate());
    };

    if (pEdited && pEdited == mpPresetCombo) {
        mConfig.ApplyPreset(CodecComboValue(mpPresetCombo));
        UpdateGui();
        return;
    }
    if (IsEditOf(pEdited, {mpProfileCombo})) {
        mConfig.SetProfile(CodecComboValue(mpProfileCombo));
        mConfig.SetLevel(mConfig.GetLevel());
        mConfig.SetChromaFormat(mConfig.GetChromaFormat());
        mConfig.SetDcPrecision(mConfig.GetDcPrecision());
        recheckBitrates();
    }
    if (IsEditOf(pEdited, {mpLevelCombo})) {
        mConfig.SetLevel(CodecComboValue(mpLevelCombo));
        recheckBitrates();
    }
    if (IsEditOf(pEdited, {mpChromaCombo}))
        mConfig.SetChromaFormat(CodecComboValue(mpChromaCombo));
    if (IsEditOf(pEdited, {mpBitrateModeCombo})) {
        mConfig.SetBitrateMode(CodecComboValue(mpBitrateModeCombo));
        recheckBitrates();
    }
    if (!pEdited) {
        mConfig.SetBitrates(StoredRate(mpMinSlider, mpRateScale), StoredRate(mpMaxSlider, mpRateScale),
                            StoredRate(mpAverageSlider, mpRateScale));
    } else if (pEdited == mpAverageSlider || pEdited == mpAverageSpin) {
        mConfig.SetBitrates(mConfig.GetMinBitrate(), mConfig.GetMaxBitrate(),
                            StoredRate(mpAverageSlider, mpRateScale));
    } else if (pEdited == mpMaxSlider || pEdited == mpMaxSpin) {
        mConfig.SetBitrates(mConfig.GetMinBitrate(), StoredRate(mpMaxSlider, mpRateScale), mConfig.GetAverageBitrate());
    } else if (pEdited == mpMinSlider || pEdited == mpMinSpin) {
        mConfig.SetBitrates(StoredRate(mpMinSlider, mpRateScale), mConfig.GetMaxBitrate(), mConfig.GetAverageBitrate());
    }
    if (IsEditOf(pEdited, {mpPFrameSlider, mpPFrameSpin, mpBFrameSlider, mpBFrameSpin})) {
        const int m = mpBFrameSlider->value() + 1;
        mConfig.SetGopN(m * (mpPFrameSlider->value() + 1));
        mConfig.SetGopM(m);
    }
    if (IsEditOf(pEdited, {mpIFrameOnlyCheck})) {
        if (mpIFrameOnlyCheck->isChecked()) {
            mConfig.SetGopN(1);
            mConfig.SetGopM(1);
        } else if (mConfig.GetGopN() == 1) {
            mConfig.SetGopN(15);
            mConfig.SetGopM(3);
        }
    }
    if (IsEditOf(pEdited, {mpClosedGopSpin, mpGopTypeCombo})) {
        mConfig.SetClosedGopInterval(mpClosedGopSpin->value());
        if (CodecComboValue(mpGopTypeCombo) == 1)
            mConfig.SetClosedGopInterval(0);
        else if (mConfig.GetClosedGopInterval() == 0)
            mConfig.SetClosedGopInterval(1);
    }
    if (IsEditOf(pEdited, {mpDcPrecisionCombo}))
        mConfig.SetDcPrecision(CodecComboValue(mpDcPrecisionCombo));
    if (IsEditOf(pEdited, {mpMotionSearchCombo}))
        mConfig.SetMotionSearch(CodecComboValue(mpMotionSearchCombo));
    if (IsEditOf(pEdited, {mpAudioBitrateCombo}))
        mConfig.SetAudioBitrate(CodecComboValue(mpAudioBitrateCombo));
    UpdateGui();
}

void CodecConfigWidgetMPEG2::UpdateSpins()
{
    RateSpinFromSlider(mpAverageSpin, mpAverageSlider, mpRateScale);
    RateSpinFromSlider(mpMaxSpin, mpMaxSlider, mpRateScale);
    RateSpinFromSlider(mpMinSpin, mpMinSlider, mpRateScale);
    CopyCountSilently(mpPFrameSpin, mpPFrameSlider);
    CopyCountSilently(mpBFrameSpin, mpBFrameSlider);
    UpdateConfig();
}

void CodecConfigWidgetMPEG2::UpdateSliders()
{
    RateSliderFromSpin(mpAverageSlider, mpAverageSpin, mpRateScale);
    RateSliderFromSpin(mpMaxSlider, mpMaxSpin, mpRateScale);
    RateSliderFromSpin(mpMinSlider, mpMinSpin, mpRateScale);
    CopyCountSilently(mpPFrameSlider, mpPFrameSpin);
    CopyCountSilently(mpBFrameSlider, mpBFrameSpin);
    UpdateConfig();
}

} // namespace JoxGui
