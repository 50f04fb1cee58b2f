#include <joxgui/S3DAnalyzeFrame.h>

#include <QCheckBox>
#include <QFormLayout>
#include <QSpinBox>

namespace JoxGui {

S3DAnalyzeFrame::S3DAnalyzeFrame(QWidget* pParent)
    : QFrame(pParent)
    , mpKeyframes(new QSpinBox(this))
    , mpSceneDetection(new QCheckBox(QStringLiteral("Scene detection"), this))
    , mpSplit(new QCheckBox(QStringLiteral("Split at scene markers"), this))
{
    auto* pThreshold = new QSpinBox(this);
    pThreshold->setRange(1, 100);
    mpDependent = pThreshold;
    mpKeyframes->setRange(2, 1000);
    auto* pLayout = new QFormLayout(this);
    pLayout->addRow(QStringLiteral("Key frames"), mpKeyframes);
    pLayout->addRow(mpSceneDetection);
    pLayout->addRow(mpSplit);
    pLayout->addRow(QStringLiteral("Scene threshold"), mpDependent);
    connect(mpKeyframes, &QSpinBox::valueChanged, this, &S3DAnalyzeFrame::SpinBoxKeyframesValueChanged);
    connect(mpSceneDetection, &QCheckBox::toggled, this, &S3DAnalyzeFrame::CheckBoxSceneDetectionToggled);
    connect(mpSceneDetection, &QCheckBox::toggled, this, &S3DAnalyzeFrame::UpdateGUI);
    connect(mpSplit, &QCheckBox::toggled, this, &S3DAnalyzeFrame::SplitAtSceneMarkersToggled);
    UpdateGUI();
}

QSpinBox* S3DAnalyzeFrame::GetKeyframesSpinBox() const { return mpKeyframes; }
QCheckBox* S3DAnalyzeFrame::GetSceneDetectionCheckBox() const { return mpSceneDetection; }
QCheckBox* S3DAnalyzeFrame::GetSplitCheckBox() const { return mpSplit; }
QWidget* S3DAnalyzeFrame::GetDependentWidget() const { return mpDependent; }

void S3DAnalyzeFrame::SetNumberOfKeyframes(int count)
{
    if (mpKeyframes != nullptr)
        mpKeyframes->setValue(count);
}

void S3DAnalyzeFrame::SetDoSceneDetection(bool on)
{
    if (mpSceneDetection != nullptr)
        mpSceneDetection->setChecked(on);
}

void S3DAnalyzeFrame::SetSplitAtSceneMarkers(bool on)
{
    if (mpSplit != nullptr)
        mpSplit->setChecked(on);
}

void S3DAnalyzeFrame::UpdateGUI()
{
    if (mpSceneDetection == nullptr || mpSplit == nullptr || mpDependent == nullptr)
        return;
    const bool on = mpSceneDetection->isChecked();
    mpSplit->setEnabled(on);
    mpDependent->setEnabled(on);
}

} // namespace JoxGui
