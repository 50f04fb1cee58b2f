#include <joxgui/ListSelectionFrame.h>

#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace JoxGui {

namespace {

QListWidgetItem* NewItem(const ListSelectionFrame::Entry& rEntry)
{
    auto* pItem = new QListWidgetItem(rEntry.first);
    pItem->setData(Qt::UserRole, rEntry.second);
    return pItem;
}

} // namespace

ListSelectionFrame::ListSelectionFrame(QWidget* pParent)
    : QFrame(pParent)
    , mpAvailable(new QListWidget(this))
    , mpIncluded(new QListWidget(this))
    , mpInsert(new QPushButton(QStringLiteral(">"), this))
    , mpRemove(new QPushButton(QStringLiteral("<"), this))
    , mpUp(new QPushButton(QStringLiteral("Up"), this))
    , mpDown(new QPushButton(QStringLiteral("Down"), this))
{
    for (QListWidget* pList : {mpAvailable, mpIncluded})
        pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* pLayout = new QGridLayout(this);
    auto* pMiddle = new QVBoxLayout;
    pMiddle->addStretch(1);
    pMiddle->addWidget(mpInsert);
    pMiddle->addWidget(mpRemove);
    pMiddle->addStretch(1);
    auto* pRight = new QVBoxLayout;
    pRight->addStretch(1);
    pRight->addWidget(mpUp);
    pRight->addWidget(mpDown);
    pRight->addStretch(1);
    pLayout->addWidget(mpAvailable, 0, 0);
    pLayout->addLayout(pMiddle, 0, 1);
    pLayout->addWidget(mpIncluded, 0, 2);
    pLayout->addLayout(pRight, 0, 3);
    connect(mpInsert, &QPushButton::clicked, this, &ListSelectionFrame::SlotButtonInsertClicked);
    connect(mpRemove, &QPushButton::clicked, this, &ListSelectionFrame::SlotButtonRemoveClicked);
    connect(mpUp, &QPushButton::clicked, this, &ListSelectionFrame::SlotButtonUpClicked);
    connect(mpDown, &QPushButton::clicked, this, &ListSelectionFrame::SlotButtonDownClicked);
    connect(mpAvailable, &QListWidget::itemSelectionChanged, this, &ListSelectionFrame::SlotCheckWidgets);
    connect(mpIncluded, &QListWidget::itemSelectionChanged, this, &ListSelectionFrame::SlotCheckWidgets);
    connect(mpAvailable, &QListWidget::itemDoubleClicked, this,
            &ListSelectionFrame::ListWidgetAvailableItemDoubleClicked);
    connect(mpIncluded, &QListWidget::itemDoubleClicked, this,
            &ListSelectionFrame::ListWidgetIncludedItemDoubleClicked);
    SlotCheckWidgets();
}

void ListSelectionFrame::SetEntries(const QList<Entry>& rEntries)
{
    mEntries = rEntries;
    RebuildAvailable();
}

void ListSelectionFrame::SetIncluded(const QList<Entry>& rIncluded)
{
    mpIncluded->clear();
    for (const Entry& rEntry : rIncluded)
        mpIncluded->addItem(NewItem(rEntry));
    RebuildAvailable();
}

QList<ListSelectionFrame::Entry> ListSelectionFrame::GetIncluded() const
{
    QList<Entry> included;
    for (int i = 0; i < mpIncluded->count(); ++i)
        included.append({mpIncluded->item(i)->text(), mpIncluded->item(i)->data(Qt::UserRole)});
    return included;
}

QListWidget* ListSelectionFrame::GetAvailableList() const { return mpAvailable; }
QListWidget* ListSelectionFrame::GetIncludedList() const { return mpIncluded; }
QPushButton* ListSelectionFrame::GetInsertButton() const { return mpInsert; }
QPushButton* ListSelectionFrame::GetRemoveButton() const { return mpRemove; }
QPushButton* ListSelectionFrame::GetUpButton() const { return mpUp; }
QPushButton* ListSelectionFrame::GetDownButton() const { return mpDown; }

void ListSelectionFrame::SlotButtonInsertClicked()
{
    for (int row = 0; row < mpAvailable->count(); ++row) {
        QListWidgetItem* pItem = mpAvailable->item(row);
        if (pItem->isSelected())
            mpIncluded->addItem(NewItem({pItem->text(), pItem->data(Qt::UserRole)}));
    }
    RebuildAvailable();
    SlotCheckWidgets();
}

void ListSelectionFrame::SlotButtonRemoveClicked()
{
    const QList<QListWidgetItem*> selected = mpIncluded->selectedItems();
    for (QListWidgetItem* pItem : selected)
        delete mpIncluded->takeItem(mpIncluded->row(pItem));
    RebuildAvailable();
    SlotCheckWidgets();
}

void ListSelectionFrame::RebuildAvailable()
{
    const QList<Entry> included = GetIncluded();
    QList<Entry> remaining = mEntries;
    for (const Entry& rEntry : included)
        remaining.removeAll(rEntry);
    mpAvailable->clear();
    for (const Entry& rEntry : remaining)
        mpAvailable->addItem(NewItem(rEntry));
    SlotCheckWidgets();
}

void ListSelectionFrame::SlotButtonUpClicked()
{
    bool unselectedSeen = false;
    for (int row = 0; row < mpIncluded->count(); ++row) {
        QListWidgetItem* pItem = mpIncluded->item(row);
        if (!pItem->isSelected()) {
            unselectedSeen = true;
        } else if (row > 0 && unselectedSeen) {
            mpIncluded->takeItem(row);
            mpIncluded->insertItem(row - 1, pItem);
            pItem->setSelected(true);
        }
    }
    SlotCheckWidgets();
}

void ListSelectionFrame::SlotButtonDownClicked()
{
    bool unselectedSeen = false;
    const int last = mpIncluded->count() - 1;
    for (int row = last; row >= 0; --row) {
        QListWidgetItem* pItem = mpIncluded->item(row);
        if (!pItem->isSelected()) {
            unselectedSeen = true;
        } else if (row < last && unselectedSeen) {
            mpIncluded->takeItem(row);
            mpIncluded->insertItem(row + 1, pItem);
            pItem->setSelected(true);
        }
    }
    SlotCheckWidgets();
}

void ListSelectionFrame::SlotCheckWidgets()
{
    mpInsert->setEnabled(!mpAvailable->selectedItems().isEmpty());
    mpRemove->setEnabled(!mpIncluded->selectedItems().isEmpty());
    int selected = 0;
    int low = -1;
    int high = -1;
    const int count = mpIncluded->count();
    for (int row = 0; row < count; ++row) {
        if (!mpIncluded->item(row)->isSelected())
            continue;
        ++selected;
        if (low < 0)
            low = row;
        high = row;
    }
    bool up = false;
    bool down = false;
    if (selected > 0 && selected < count) {
        const bool contiguous = selected >= high - low + 1;
        up = low > 0 || !contiguous;
        down = high < count - 1 || !contiguous;
    }
    mpUp->setEnabled(up);
    mpDown->setEnabled(down);
}

void ListSelectionFrame::ListWidgetAvailableItemDoubleClicked(QListWidgetItem* pItem)
{
    mpAvailable->setCurrentItem(pItem);
    SlotButtonInsertClicked();
}

void ListSelectionFrame::ListWidgetIncludedItemDoubleClicked(QListWidgetItem* pItem)
{
    mpIncluded->setCurrentItem(pItem);
    SlotButtonRemoveClicked();
}

} // namespace JoxGui
