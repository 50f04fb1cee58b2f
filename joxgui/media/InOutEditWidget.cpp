#include <joxgui/InOutEditWidget.h>

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace JoxGui {

InOutEditWidget::InOutEditWidget(QWidget* pParent)
    : QWidget(pParent)
    , mpInButton(new QPushButton(QStringLiteral("In"), this))
    , mpOutButton(new QPushButton(QStringLiteral("Out"), this))
    , mpDurationButton(new QPushButton(QStringLiteral("Duration"), this))
    , mpInField(new QLineEdit(this))
    , mpOutField(new QLineEdit(this))
    , mpDurationField(new QLineEdit(this))
{
    auto* pLayout = new QGridLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    const QRegularExpression frames(QStringLiteral("-?[0-9]{1,18}"));
    int row = 0;
    for (QPushButton* pButton : {mpInButton, mpOutButton, mpDurationButton}) {
        pButton->setCheckable(true);
        pLayout->addWidget(pButton, row++, 0);
    }
    row = 0;
    for (QLineEdit* pField : {mpInField, mpOutField, mpDurationField}) {
        pField->setValidator(new QRegularExpressionValidator(frames, pField));
        pLayout->addWidget(pField, row++, 1);
    }
    mpDurationField->setEnabled(false);
    connect(mpInButton, &QPushButton::clicked, this, &InOutEditWidget::SlotButtonInClicked);
    connect(mpOutButton, &QPushButton::clicked, this, &InOutEditWidget::SlotButtonOutClicked);
    connect(mpDurationButton, &QPushButton::clicked, this,
            &InOutEditWidget::SlotButtonDurationClicked);
    connect(mpInField, &QLineEdit::editingFinished, this,
            [this] { EmitFrame(mpInField, &InOutEditWidget::SignalFrameInChanged); });
    connect(mpOutField, &QLineEdit::editingFinished, this,
            [this] { EmitFrame(mpOutField, &InOutEditWidget::SignalFrameOutChanged); });
    connect(mpDurationField, &QLineEdit::editingFinished, this,
            [this] { EmitFrame(mpDurationField, &InOutEditWidget::SignalFrameDurationChanged); });
}

QPushButton* InOutEditWidget::GetInButton() const { return mpInButton; }
QPushButton* InOutEditWidget::GetOutButton() const { return mpOutButton; }
QPushButton* InOutEditWidget::GetDurationButton() const { return mpDurationButton; }
QLineEdit* InOutEditWidget::GetInField() const { return mpInField; }
QLineEdit* InOutEditWidget::GetOutField() const { return mpOutField; }
QLineEdit* InOutEditWidget::GetDurationField() const { return mpDurationField; }

bool InOutEditWidget::WasChecked(QAbstractButton* pButton) const
{
    // A click has already toggled the sending button: its state before the
    // click is the inverse. A direct call sees the state as it is.
    const bool checked = pButton->isChecked();
    return sender() == pButton ? !checked : checked;
}

void InOutEditWidget::SlotButtonInClicked()
{
    SetOrDelete(mpInButton, &InOutEditWidget::SignalSetIn, &InOutEditWidget::SignalDeleteIn);
}

void InOutEditWidget::SlotButtonOutClicked()
{
    SetOrDelete(mpOutButton, &InOutEditWidget::SignalSetOut, &InOutEditWidget::SignalDeleteOut);
}

void InOutEditWidget::SetOrDelete(QPushButton* pButton, void (InOutEditWidget::*pSet)(),
                                  void (InOutEditWidget::*pDelete)())
{
    if (pButton == nullptr)
        return;
    if (!WasChecked(pButton)) {
        emit(this->*pSet)();
    } else {
        pButton->setChecked(false);
        emit(this->*pDelete)();
    }
}

void InOutEditWidget::SlotButtonDurationClicked()
{
    if (mpDurationButton == nullptr)
        return;
    if (WasChecked(mpDurationButton)) {
        mpDurationButton->setChecked(false);
        mpDurationField->setEnabled(false);
        emit SignalDeleteDuration();
    } else {
        // Nothing to do: the button stays as it was before the click.
        mpDurationButton->setChecked(false);
    }
}

void InOutEditWidget::SlotButtonDeleteDurationClicked(bool enable)
{
    mpDurationField->setEnabled(enable);
}

void InOutEditWidget::EmitFrame(QLineEdit* pField, void (InOutEditWidget::*pSignal)(long long))
{
    bool ok = false;
    const long long frame = pField->text().toLongLong(&ok);
    if (ok)
        emit(this->*pSignal)(frame);
}

} // namespace JoxGui
