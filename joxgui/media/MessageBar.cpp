#include <joxgui/MessageBar.h>

#include <joxgui/MessageLogDialog.h>

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace JoxGui {

QRect MessageBar::mpLogGeometry;

MessageBar::MessageBar(QWidget* pParent)
    : QWidget(pParent)
    , mpMessageLabel(new QLabel(this))
    , mpIdleWidget(new QWidget(this))
    , mpHideTimer(new QTimer(this))
    , mpLogButton(new QToolButton(this))
    , mpLogDialog(new MessageLogDialog(this))
{
    mpMessageLabel->setObjectName(QStringLiteral("LabelMessage"));
    mpMessageLabel->hide();
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(mpMessageLabel, 1);
    pLayout->addWidget(mpIdleWidget, 1);
    pLayout->addWidget(mpLogButton);
    mpHideTimer->setSingleShot(true);
    connect(mpHideTimer, &QTimer::timeout, this, &MessageBar::SlotHideMessage);
    connect(mpLogButton, &QToolButton::clicked, this, &MessageBar::SlotShowMessageDialog);
    UpdateLogButton();
}

QLabel* MessageBar::GetMessageLabel() const { return mpMessageLabel; }
QWidget* MessageBar::GetIdleWidget() const { return mpIdleWidget; }
QToolButton* MessageBar::GetLogButton() const { return mpLogButton; }
QTimer* MessageBar::GetHideTimer() const { return mpHideTimer; }
MessageLogDialog* MessageBar::GetLogDialog() const { return mpLogDialog; }

void MessageBar::ShowMessage(const JoxCore::Message& rMessage)
{
    mpLogDialog->AddMessage(rMessage);
    mpIdleWidget->hide();
    mpMessageLabel->setText(QString::fromStdString(rMessage.GetDetail()).replace(QLatin1Char('\n'),
                                                                                 QLatin1Char(' ')));
    mpMessageLabel->show();
    mpHideTimer->start(5000);
    UpdateLogButton();
}

void MessageBar::SlotHideMessage()
{
    mpMessageLabel->hide();
    mpIdleWidget->show();
    UpdateLogButton();
}

void MessageBar::SlotShowMessageDialog()
{
    if (!mpLogGeometry.isNull())
        mpLogDialog->setGeometry(mpLogGeometry);
    mpLogDialog->exec();
    mpLogGeometry = mpLogDialog->geometry();
    UpdateLogButton();
}

void MessageBar::UpdateLogButton()
{
    if (mpLogDialog->GetRowCount() == 0) {
        mpLogButton->setIcon(QIcon(QStringLiteral(":/data/HarlenStyle/icon_message_message.png")));
        mpLogButton->setToolTip(QStringLiteral("No unread messages"));
        return;
    }
    const JoxCore::Message& rLast = mpLogDialog->GetLastMessage();
    mpLogButton->setIcon(QIcon(MessageLogDialog::IconPath(rLast.GetType())));
    mpLogButton->setToolTip(QStringLiteral("Unread messages: %1\nLast Message:\n%2")
                                .arg(mpLogDialog->GetUnreadCount())
                                .arg(QString::fromStdString(rLast.GetDetail())));
}

} // namespace JoxGui
