#include <joxgui/CodecConfigWidgetMOV.h>

#include <joxgui/CodecWidgetHelpers.h>
#include <joxgui/WidgetHelpers.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QSpinBox>

#include <limits>

namespace JoxGui {

namespace {

QSpinBox* NewSpin(const char* pName)
{
    QSpinBox* pSpin = Named(new QSpinBox, pName);
    pSpin->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    pSpin->setKeyboardTracking(false);
    return pSpin;
}

} // namespace

CodecConfigWidgetMOV::CodecConfigWidgetMOV(QWidget* pParent)
    : QWidget(pParent)
    , mpPackingCombo(Named(new QComboBox, "packingCombo"))
    , mpClosedCaptionCombo(Named(new QComboBox, "closedCaptionCombo"))
    , mpForceCaptionsCheck(Named(new QCheckBox(tr("Force closed captions")), "forceCaptionsCheck"))
    , mpWriteSidecarCheck(Named(new QCheckBox(tr("Write sidecar file")), "writeSidecarCheck"))
    , mpFinalUpdateCheck(Named(new QCheckBox(tr("Final sidecar update")), "finalUpdateCheck"))
    , mpChunkSizeSpin(NewSpin("chunkSizeSpin"))
    , mpDataRateSpin(NewSpin("dataRateSpin"))
    , mpDurationFallbackSpin(NewSpin("durationFallbackSpin"))
{
    auto* pLayout = new QFormLayout(this);
    pLayout->addRow(tr("Audio tracks"), mpPackingCombo);
    pLayout->addRow(tr("Closed captions"), mpClosedCaptionCombo);
    pLayout->addRow(QString(), mpForceCaptionsCheck);
    pLayout->addRow(QString(), mpWriteSidecarCheck);
    pLayout->addRow(QString(), mpFinalUpdateCheck);
    pLayout->addRow(tr("Sidecar chunk size"), mpChunkSizeSpin);
    pLayout->addRow(tr("Sidecar data rate"), mpDataRateSpin);
    pLayout->addRow(tr("Sidecar duration fallback"), mpDurationFallbackSpin);

    for (QComboBox* pCombo : {mpPackingCombo, mpClosedCaptionCombo})
        connect(pCombo, &QComboBox::activated, this, &CodecConfigWidgetMOV::UpdateConfig);
    for (QCheckBox* pCheck : {mpForceCaptionsCheck, mpWriteSidecarCheck, mpFinalUpdateCheck})
        connect(pCheck, &QCheckBox::toggled, this, &CodecConfigWidgetMOV::UpdateConfig);
    for (QSpinBox* pSpin : {mpChunkSizeSpin, mpDataRateSpin, mpDurationFallbackSpin})
        connect(pSpin, &QSpinBox::valueChanged, this, &CodecConfigWidgetMOV::UpdateConfig);
    UpdateGui();
}

void CodecConfigWidgetMOV::SetConfig(const JoxCore::CodecConfigMOV& rConfig)
{
    mConfig = rConfig;
    UpdateGui();
}

void CodecConfigWidgetMOV::UpdateGui()
{
    FillCodecCombo(mpPackingCombo, mConfig.GetAudioPackingChoices(), mConfig.GetAudioPacking());
    FillCodecCombo(mpClosedCaptionCombo, mConfig.GetClosedCaptionChoices(), mConfig.GetClosedCaptionType());
    SetCheckedSilently(mpForceCaptionsCheck, mConfig.GetForceClosedCaptions());
    SetCheckedSilently(mpWriteSidecarCheck, mConfig.GetWriteSidecar());
    SetCheckedSilently(mpFinalUpdateCheck, mConfig.GetSidecarFinalUpdate());
    SetValueSilently(mpChunkSizeSpin, mConfig.GetSidecarChunkSize());
    SetValueSilently(mpDataRateSpin, mConfig.GetSidecarDataRate());
    SetValueSilently(mpDurationFallbackSpin, mConfig.GetSidecarDurationFallback());
}

void CodecConfigWidgetMOV::UpdateConfig()
{
    const QObject* pEdited = sender();
    if (IsEditOf(pEdited, {mpPackingCombo}))
        mConfig.SetAudioPacking(CodecComboValue(mpPackingCombo));
    if (IsEditOf(pEdited, {mpClosedCaptionCombo}))
        mConfig.SetClosedCaptionType(CodecComboValue(mpClosedCaptionCombo));
    if (IsEditOf(pEdited, {mpForceCaptionsCheck}))
        mConfig.SetForceClosedCaptions(mpForceCaptionsCheck->isChecked());
    if (IsEditOf(pEdited, {mpWriteSidecarCheck}))
        mConfig.SetWriteSidecar(mpWriteSidecarCheck->isChecked());
    if (IsEditOf(pEdited, {mpFinalUpdateCheck}))
        mConfig.SetSidecarFinalUpdate(mpFinalUpdateCheck->isChecked());
    if (IsEditOf(pEdited, {mpChunkSizeSpin}))
        mConfig.SetSidecarChunkSize(mpChunkSizeSpin->value());
    if (IsEditOf(pEdited, {mpDataRateSpin}))
        mConfig.SetSidecarDataRate(mpDataRateSpin->value());
    if (IsEditOf(pEdited, {mpDurationFallbackSpin}))
        mConfig.SetSidecarDurationFallback(mpDurationFallbackSpin->value());
    UpdateGui();
}

} // namespace JoxGui
