#include <joxgui/PopupLineEdit.h>

#include <joxgui/WidgetHelpers.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace JoxGui {

PopupLineEdit::PopupLineEdit(QWidget* pParent)
    : QWidget(pParent)
    , mpLineEdit(new QLineEdit(this))
    , mpPopup(new QDialog(this, Qt::Dialog | Qt::FramelessWindowHint))
    , mpPopupLineEdit(new QLineEdit(mpPopup))
{
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(mpLineEdit);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, mpPopup);
    auto* pPopupLayout = new QVBoxLayout(mpPopup);
    pPopupLayout->addWidget(mpPopupLineEdit);
    pPopupLayout->addWidget(pButtons);
    connect(pButtons, &QDialogButtonBox::accepted, mpPopup, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, mpPopup, &QDialog::reject);
    connect(mpPopupLineEdit, &QLineEdit::returnPressed, mpPopup, &QDialog::accept);
    connect(mpLineEdit, &QLineEdit::textChanged, this, &PopupLineEdit::SlotTextChanged);
}

void PopupLineEdit::SetText(const QString& rText)
{
    mAcceptedText = rText;
    const QSignalBlocker blocker(mpLineEdit);
    mpLineEdit->setText(rText);
}

QString PopupLineEdit::GetText() const
{
    return mAcceptedText;
}

QLineEdit* PopupLineEdit::GetLineEdit() const
{
    return mpLineEdit;
}

QDialog* PopupLineEdit::GetPopup() const
{
    return mpPopup;
}

void PopupLineEdit::SlotTextChanged(const QString& rText)
{
    if (rText == mAcceptedText)
        return;
    mpPopupLineEdit->setText(rText);
    mpPopupLineEdit->setFocus(Qt::OtherFocusReason);
    mpPopupLineEdit->setCursorPosition(mpLineEdit->cursorPosition());
    mpPopupLineEdit->deselect();
    mpLineEdit->setText(mAcceptedText);
    MoveToWidgetPosition(parentWidget(), this, mpPopup, 0, -mpPopup->sizeHint().height());
    if (mpPopup->exec() == QDialog::Accepted) {
        mAcceptedText = mpPopupLineEdit->text();
        mpLineEdit->setText(mAcceptedText);
        emit EditingFinished();
    }
}

} // namespace JoxGui
