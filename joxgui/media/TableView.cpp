#include <joxgui/TableView.h>

#include <QHeaderView>
#include <QKeyEvent>

namespace JoxGui {

TableView::TableView(QWidget* pParent)
    : QTableView(pParent)
{
    verticalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(verticalHeader(), &QWidget::customContextMenuRequested, this,
            &TableView::CustomMenuVertical);
    connect(horizontalHeader(), &QWidget::customContextMenuRequested, this,
            &TableView::CustomMenuHorizontal);
}

void TableView::CustomMenuVertical(const QPoint& rPoint)
{
    ShowHeaderMenu(verticalHeader(), Qt::Vertical, rPoint, verticalHeader()->logicalIndexAt(rPoint));
}

void TableView::CustomMenuHorizontal(const QPoint& rPoint)
{
    ShowHeaderMenu(horizontalHeader(), Qt::Horizontal, rPoint,
                   horizontalHeader()->logicalIndexAt(rPoint));
}

void TableView::ShowHeaderMenu(QHeaderView*, Qt::Orientation, const QPoint&, int)
{
}

void TableView::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->matches(QKeySequence::Delete)) {
        emit DeletePressed();
        return;
    }
    if (pEvent->matches(QKeySequence::SelectAll)) {
        emit SelectAllPressed();
        return;
    }
    if (pEvent->matches(QKeySequence::Refresh)) {
        emit RefreshPressed();
        return;
    }
    QTableView::keyPressEvent(pEvent);
}

} // namespace JoxGui
