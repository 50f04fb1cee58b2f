#include <joxgui/S3DRectifyDialog.h>

#include <joxgui/S3DRectifyFrame.h>

#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace JoxGui {

S3DRectifyDialog::S3DRectifyDialog(QWidget* pParent)
    : QDialog(pParent)
    , mpFrame(new S3DRectifyFrame(this))
{
    setWindowTitle(QStringLiteral("Rectification"));
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(mpFrame);
    pLayout->addWidget(pButtons);
}

S3DRectifyFrame* S3DRectifyDialog::GetFrame() const
{
    return mpFrame;
}

} // namespace JoxGui
