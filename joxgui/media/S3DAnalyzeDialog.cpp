#include <joxgui/S3DAnalyzeDialog.h>

#include <joxgui/S3DAnalyzeFrame.h>

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace JoxGui {

S3DAnalyzeDialog::S3DAnalyzeDialog(QWidget* pParent)
    : QDialog(pParent)
    , mpFrame(new S3DAnalyzeFrame(this))
{
    setWindowTitle(QStringLiteral("Analysis"));
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(mpFrame, &S3DAnalyzeFrame::SpinBoxKeyframesValueChanged, this,
            &S3DAnalyzeDialog::SpinBoxKeyframesValueChanged);
    connect(mpFrame, &S3DAnalyzeFrame::CheckBoxSceneDetectionToggled, this,
            &S3DAnalyzeDialog::CheckBoxSceneDetectionToggled);
    connect(mpFrame, &S3DAnalyzeFrame::SplitAtSceneMarkersToggled, this,
            &S3DAnalyzeDialog::SplitAtSceneMarkersToggled);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(mpFrame);
    pLayout->addWidget(pButtons);
}

S3DAnalyzeFrame* S3DAnalyzeDialog::GetFrame() const
{
    return mpFrame;
}

} // namespace JoxGui
