#include <gui/ListLogWidget.h>

#include <joxwsstreaming/CollectionName.h>
#include <styles/StyleMetrics.h>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace joxmaintenance {

namespace {

// Where an item keeps its collection's name as the server listed it.
constexpr int kListedNameRole = Qt::UserRole;

// The tool tip that shows a name whole: as rich text, so that a name that
// looks like markup is not taken for it, with its blanks kept and a place
// to break the line after each character, so that a long name without
// blanks fits on the screen too.
QString ToolTip(const QString& rShown)
{
    QString text = QStringLiteral("<p style='white-space:pre-wrap'>");
    for (const char32_t character : rShown.toUcs4())
        text += QString::fromUcs4(&character, 1).toHtmlEscaped() + QChar(0x200B);
    return text + QStringLiteral("</p>");
}

} // namespace

ListLogWidget::ListLogWidget(QWidget* pParent)
    : QWidget(pParent)
    , mpTable(new QTableWidget(this))
    , mpDownload(new QPushButton(QStringLiteral("Download"), this))
    , mpDelete(new QPushButton(QStringLiteral("Delete"), this))
    , mpDeleteAll(new QPushButton(QStringLiteral("Delete all"), this))
    , mpFailureLabel(new QLabel(this))
{
    QVBoxLayout* pLayout = new QVBoxLayout(this);
    mpFailureLabel->setObjectName(QStringLiteral("ListingFailedLabel"));
    mpFailureLabel->setWordWrap(true);
    mpFailureLabel->hide();
    pLayout->addWidget(mpFailureLabel);
    pLayout->addWidget(mpTable);
    QHBoxLayout* pButtons = new QHBoxLayout();
    pButtons->addStretch();
    pButtons->addWidget(mpDownload);
    pButtons->addWidget(mpDelete);
    pButtons->addWidget(mpDeleteAll);
    pLayout->addLayout(pButtons);

    mpTable->setColumnCount(1);
    mpTable->horizontalHeader()->hide();
    mpTable->verticalHeader()->hide();
    mpTable->setShowGrid(true);
    mpTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mpTable->setSelectionMode(QAbstractItemView::MultiSelection);
    mpTable->horizontalHeader()->setStretchLastSection(true);
    // A long name keeps to one line and loses its middle, so that names that
    // differ only at their ends still read differently; its tool tip shows
    // it whole.
    mpTable->setWordWrap(false);
    mpTable->setTextElideMode(Qt::ElideMiddle);
    connect(mpTable, &QTableWidget::itemSelectionChanged, this, &ListLogWidget::SlotSelectionChanged);

    for (QPushButton* pButton : {mpDownload, mpDelete, mpDeleteAll})
    {
        pButton->setFixedSize(UnitsWidth(3), StyleMetric(3));
        pButton->setEnabled(false);
    }
    connect(mpDownload, &QPushButton::clicked, this, &ListLogWidget::SlotFetchClicked);
    connect(mpDelete, &QPushButton::clicked, this, &ListLogWidget::SlotDeleteClicked);
    connect(mpDeleteAll, &QPushButton::clicked, this, &ListLogWidget::SignalClear);
}

void ListLogWidget::SetCollections(const QStringList& rNames)
{
    mpFailureLabel->hide();
    mpTable->show();
    if (rNames == mNames)
        return;
    mpTable->clearContents();
    mpTable->setRowCount(static_cast<int>(rNames.size()));
    for (int row = 0; row < rNames.size(); ++row)
    {
        const QString shown = joxwsstreaming::CollectionName::Shown(rNames.at(row));
        QTableWidgetItem* pItem = new QTableWidgetItem(shown);
        pItem->setFlags(pItem->flags() & ~Qt::ItemIsEditable);
        // Requests name the collection as the server listed it.
        pItem->setData(kListedNameRole, rNames.at(row));
        pItem->setToolTip(ToolTip(shown));
        mpTable->setItem(row, 0, pItem);
    }
    mpDeleteAll->setEnabled(!rNames.isEmpty());
    mNames = rNames;
    SlotSelectionChanged();
}

void ListLogWidget::SetListingFailed(const QString& rServer, const QString& rReason)
{
    mpFailureLabel->setText(
        QStringLiteral("The log packages of server %1 could not be listed: %2 The list below may be out of date.")
            .arg(rServer, rReason));
    mpFailureLabel->show();
    mpTable->show();
}

void ListLogWidget::SetWaiting(const QString& rServer)
{
    mpFailureLabel->setText(QStringLiteral("Waiting for server %1 to list its log packages ...").arg(rServer));
    mpFailureLabel->show();
    mpTable->hide();
}

void ListLogWidget::SlotSelectionChanged()
{
    const bool selected = !mpTable->selectedItems().isEmpty();
    // A disabled button passes its focus on to the next one, "Delete all",
    // where one key press would delete every collection: the list takes it.
    const QWidget* pFocus = window()->focusWidget();
    if (!selected && (pFocus == mpDownload || pFocus == mpDelete))
        mpTable->setFocus(Qt::OtherFocusReason);
    mpDownload->setEnabled(selected);
    mpDelete->setEnabled(selected);
}

void ListLogWidget::SlotFetchClicked()
{
    QStringList names;
    for (const QTableWidgetItem* pItem : mpTable->selectedItems())
        names.append(pItem->data(kListedNameRole).toString());
    emit SignalFetch(names);
    mpTable->clearSelection();
}

void ListLogWidget::SlotDeleteClicked()
{
    QStringList names;
    for (const QTableWidgetItem* pItem : mpTable->selectedItems())
        names.append(pItem->data(kListedNameRole).toString());
    for (const QString& rName : names)
        emit SignalDelete(rName);
    mpTable->setFocus(Qt::OtherFocusReason);
}

} // namespace joxmaintenance
