#include <gui/ListLogStatusWidget.h>

#include <gui/ListLogStatusModel.h>
#include <gui/LogStatusFilterProxyModel.h>
#include <gui/ProgressWidgetDelegate.h>

#include <styles/StyleMetrics.h>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace joxmaintenance {

ListLogStatusWidget::ListLogStatusWidget(QWidget* pParent)
    : QWidget(pParent)
    , mpNoteLabel(new QLabel(this))
    , mpTableView(new QTableView(this))
    , mpModel(new ListLogStatusModel(this))
    , mpFilter(new LogStatusFilterProxyModel(this))
    , mpDelegate(new ProgressWidgetDelegate(this))
{
    QVBoxLayout* pLayout = new QVBoxLayout(this);
    mpNoteLabel->setObjectName(QStringLiteral("StatusNoteLabel"));
    mpNoteLabel->setWordWrap(true);
    mpNoteLabel->hide();
    pLayout->addWidget(mpNoteLabel);
    pLayout->addWidget(mpTableView);
    QPushButton* pFilterButton = new QPushButton(QStringLiteral("Filter finished"), this);
    QHBoxLayout* pButtonRow = new QHBoxLayout();
    pButtonRow->addStretch();
    pButtonRow->addWidget(pFilterButton);
    pLayout->addLayout(pButtonRow);
    pLayout->addStretch();

    mpTableView->horizontalHeader()->hide();
    mpTableView->verticalHeader()->hide();
    mpTableView->setShowGrid(true);
    mpTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    mpTableView->setSelectionMode(QAbstractItemView::SingleSelection);
    mpTableView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    mpTableView->horizontalHeader()->setStretchLastSection(true);

    mpFilter->setSourceModel(mpModel);
    mpTableView->setModel(mpFilter);
    mpTableView->setItemDelegate(mpDelegate);

    pFilterButton->setCheckable(true);
    pFilterButton->setChecked(false);
    pFilterButton->setFixedSize(UnitsWidth(3), StyleMetric(3));
    pFilterButton->setToolTip(QStringLiteral("Do not show successfully finished Jobs in table."));
    connect(pFilterButton, &QPushButton::clicked, this, &ListLogStatusWidget::SlotFilterFinished);
}

void ListLogStatusWidget::UpdateStatus(const QString& rServerUrl, const QList<CommandStatusPtr>& rStatuses)
{
    mpModel->SetStatusList(rServerUrl, rStatuses);
}

void ListLogStatusWidget::SetWaiting(const QString& rServer)
{
    mpNoteLabel->setText(QStringLiteral("Waiting for server %1 to report its jobs ...").arg(rServer));
    mpNoteLabel->show();
    mpTableView->hide();
}

void ListLogStatusWidget::SetStatusFailed(const QString& rServer, const QString& rReason)
{
    mpNoteLabel->setText(QStringLiteral("The jobs of server %1 could not be queried: %2 The list below may be out of date.")
                             .arg(rServer, rReason));
    mpNoteLabel->show();
    mpTableView->show();
}

void ListLogStatusWidget::SetNotQueried(const QString& rServer, const QString& rReason)
{
    mpNoteLabel->setText(QStringLiteral("Server %1 could not be queried, so its jobs are not shown: %2 Select it again "
                                        "in the Servers list to try again.")
                             .arg(rServer, rReason));
    mpNoteLabel->show();
    mpTableView->hide();
}

void ListLogStatusWidget::ClearNote()
{
    mpNoteLabel->hide();
    mpTableView->show();
}

bool ListLogStatusWidget::HasNote() const
{
    return !mpNoteLabel->isHidden();
}

void ListLogStatusWidget::SlotFilterFinished(bool checked)
{
    mpFilter->SetFilterFinished(checked);
}

} // namespace joxmaintenance
