#include <joxgui/MessageLogDialog.h>

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QIcon>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace JoxGui {

namespace {

const int kMaximumRows = 1000;

} // namespace

MessageLogDialog::MessageLogDialog(QWidget* pParent)
    : QDialog(pParent)
    , mpTable(new QTableWidget(0, 4, this))
    , mLastMessage(0, std::string(), std::string())
{
    setWindowTitle(QStringLiteral("Messages"));
    mpTable->setHorizontalHeaderLabels(
        {QString(), QStringLiteral("Time"), QStringLiteral("Message"), QStringLiteral("Detail")});
    mpTable->verticalHeader()->hide();
    mpTable->horizontalHeader()->setStretchLastSection(true);
    mpTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mpTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Reset | QDialogButtonBox::Close, this);
    pButtons->button(QDialogButtonBox::Reset)->setText(QStringLiteral("Clear"));
    connect(pButtons->button(QDialogButtonBox::Reset), &QPushButton::clicked, this,
            &MessageLogDialog::SlotClearMessages);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(mpTable);
    pLayout->addWidget(pButtons);
    resize(700, 400);
}

QString MessageLogDialog::IconPath(int type)
{
    switch (type) {
    case JoxCore::MessageInfo: return QStringLiteral(":/data/HarlenStyle/icon_message_info.png");
    case JoxCore::MessageWarning: return QStringLiteral(":/data/HarlenStyle/icon_message_warning.png");
    case JoxCore::MessageError: return QStringLiteral(":/data/HarlenStyle/icon_message_error.png");
    default: break;
    }
    return QStringLiteral(":/data/HarlenStyle/icon_message_message.png");
}

void MessageLogDialog::AddMessage(const JoxCore::Message& rMessage)
{
    mLastMessage = rMessage;
    ++mRowCount;
    // Capped on its own: after a clear the row count no longer bounds it.
    mUnreadCount = std::min(mUnreadCount + 1, kMaximumRows);
    if (mRowCount == kMaximumRows + 1) {
        mpTable->removeRow(mpTable->rowCount() - 1);
        mRowCount = kMaximumRows;
    }
    mpTable->insertRow(0);
    auto* pIcon = new QTableWidgetItem(QIcon(IconPath(rMessage.GetType())), QString());
    pIcon->setToolTip(QString::fromStdString(rMessage.GetTypeName()));
    mpTable->setItem(0, 0, pIcon);
    mpTable->setItem(0, 1, new QTableWidgetItem(
                               QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
    mpTable->setItem(0, 2, new QTableWidgetItem(QString::fromStdString(rMessage.GetText())));
    mpTable->setItem(0, 3, new QTableWidgetItem(QString::fromStdString(rMessage.GetDetail())));
    if (mpTable->isVisible())
        mpTable->scrollToTop();
    if (mRowCount == 1) {
        mpTable->resizeColumnToContents(1);
        mpTable->resizeColumnToContents(2);
    }
}

int MessageLogDialog::GetRowCount() const
{
    return mRowCount;
}

int MessageLogDialog::GetUnreadCount() const
{
    return mUnreadCount;
}

const JoxCore::Message& MessageLogDialog::GetLastMessage() const
{
    return mLastMessage;
}

QTableWidget* MessageLogDialog::GetTable() const
{
    return mpTable;
}

void MessageLogDialog::SlotClearMessages()
{
    mpTable->clearContents();
    mpTable->setRowCount(0);
    mRowCount = 0;
    mLastMessage = JoxCore::Message(0, std::string(), std::string());
}

} // namespace JoxGui
