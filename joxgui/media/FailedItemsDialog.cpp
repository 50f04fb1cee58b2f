#include <joxgui/FailedItemsDialog.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace JoxGui {

const std::map<int, std::string> FailedItemsDialog::ButtonNames = FailedItemsDialog::CreateButtonNames();

std::map<int, std::string> FailedItemsDialog::CreateButtonNames()
{
    return {{ButtonNone, ""}, {ButtonOk, "OK"}, {ButtonCancel, "Cancel"}, {ButtonYes, "Yes"}, {ButtonNo, "No"}};
}

FailedItemsDialog::FailedItemsDialog(const QString& rTitle, const QString& rText,
                                     const QStringList& rItems, int buttons, QWidget* pParent)
    : QDialog(pParent)
    , mpItemList(new QListWidget(this))
{
    setWindowTitle(rTitle);
    auto* pLayout = new QVBoxLayout(this);
    auto* pText = new QLabel(rText, this);
    pText->setWordWrap(true);
    pLayout->addWidget(pText);
    mpItemList->setUniformItemSizes(true);
    mpItemList->addItems(rItems);
    pLayout->addWidget(mpItemList, 1);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    for (int code : {ButtonOk, ButtonYes, ButtonNo, ButtonCancel}) {
        if ((buttons & code) == 0)
            continue;
        auto* pButton = new QPushButton(QString::fromStdString(ButtonNames.at(code)), this);
        connect(pButton, &QPushButton::clicked, this, &FailedItemsDialog::ButtonClicked);
        mButtons.append(qMakePair(code, static_cast<QAbstractButton*>(pButton)));
        pButtons->addWidget(pButton);
    }
    pLayout->addLayout(pButtons);
}

QListWidget* FailedItemsDialog::GetItemList() const
{
    return mpItemList;
}

QAbstractButton* FailedItemsDialog::GetButton(int code) const
{
    for (const auto& rPair : mButtons)
        if (rPair.first == code)
            return rPair.second;
    return nullptr;
}

void FailedItemsDialog::ButtonClicked()
{
    for (const auto& rPair : mButtons) {
        if (rPair.second == sender()) {
            done(rPair.first);
            return;
        }
    }
    done(1);
}

} // namespace JoxGui
