#pragma once

#include <QTableView>

class QHeaderView;

namespace JoxGui {

// A table view with context menus on its headers and key signals.
class TableView : public QTableView
{
    Q_OBJECT

public:
    explicit TableView(QWidget* pParent = nullptr);

signals:
    void DeletePressed();
    void SelectAllPressed();
    void RefreshPressed();
    void ItemMovingStarted();
    void ItemMovingFinished();
    void ItemMoving(int row);

private slots:
    void CustomMenuVertical(const QPoint& rPoint);
    void CustomMenuHorizontal(const QPoint& rPoint);

protected:
    // The menu of a header at a point over the section logicalIndex (-1 when
    // beside the sections); the base shows none.
    virtual void ShowHeaderMenu(QHeaderView* pHeader, Qt::Orientation orientation,
                                const QPoint& rPoint, int logicalIndex);
    void keyPressEvent(QKeyEvent* pEvent) override;
};

} // namespace JoxGui
