#pragma once

#include <joxwsdd/WebServiceInfo.h>

#include <QAbstractItemView>
#include <QList>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QStringList>
#include <QTableView>

class QDrag;
class QTimer;

namespace JoxWsdd {

class WsddConnectionItemDelegate;

// The servers list: one row per service, the entry drawn by the item
// delegate in column 0 and the channel label in column 1. A press reports
// the selected services; pulling a row out starts a drag of its service
// description. Tab moves the focus on instead of the current cell.
// Only the services last reported are ever highlighted: when their rows go,
// no other row takes the highlight, and the view says they left.
class WsddConnectionView : public QTableView
{
    Q_OBJECT

public:
    explicit WsddConnectionView(QWidget* pParent = nullptr);

    // Headers, column widths, selection and the item delegate of column 0;
    // with clearOnEmptyClick a press beside the rows clears the selection.
    void SetUp(QAbstractItemView::SelectionMode mode, bool clearOnEmptyClick);
    // Two-line details (rows 50 high) or names only (24).
    void SetDetails(bool details);
    WsddConnectionItemDelegate* GetDelegate() const { return mpDelegate; }

    // Drags the first selected service unless a selected row is not of a
    // drag type.
    void StartDrag();
    // Clears the selection without reporting it, and forgets the services
    // last reported, so that they are not highlighted again.
    void ForgetSelection();
    // True while a refilled list may still list the services last reported
    // again before they count as gone.
    bool AwaitsRefill() const;

    void setModel(QAbstractItemModel* pModel) override;

signals:
    void SignalStartConnectionDrag();
    void SignalEndConnectionDrag();
    void SignalSelectionChanged(QList<JoxWsdd::WebServiceInfoPtr> services);
    // The services last reported are no longer listed (their rows were
    // removed or filtered out, or a refill of the list did not bring them
    // back in time): nothing is highlighted and they are forgotten.
    void SignalSelectionLeft();

protected:
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

    // Runs the drag with the supported actions; returns when the drop is over.
    virtual Qt::DropAction ExecuteDrag(QDrag* pDrag, Qt::DropActions actions);

protected slots:
    // Keeps the base from handing the highlight of a removed current row on
    // to the next row.
    void rowsAboutToBeRemoved(const QModelIndex& rParent, int start, int end) override;

private:
    // Every row as high as the delegate's size hint, without measuring rows.
    void ApplyRowHeight();
    // The selection model's selected rows; none without one.
    QModelIndexList SelectedRows() const;
    // Reports the selected services and remembers their rows and URLs.
    void EmitSelection();
    // After every change of the model, the one judge of whether the
    // services last reported are still listed: when they are, they are
    // highlighted again if the change cleared the selection; when they are
    // not, and no refill may bring them back, SignalSelectionLeft.
    void FollowModel();
    // Whether every service last reported is listed, each at its row in
    // mReportedRows; while a refill is awaited, rows lost are looked for
    // by URL.
    bool FindReportedRows();
    // Highlights those rows again when a change cleared the selection.
    void RestoreSelection();

    // The URLs of the services last reported, and their rows (column 0).
    QStringList mReportedUrls;
    QList<QPersistentModelIndex> mReportedRows;
    // Runs while a refilled list may still bring the services back.
    QTimer* mpRefillTimer;
    // A FollowModel is queued.
    bool mFollowPosted = false;
    QPoint mPressPosition;
    WsddConnectionItemDelegate* mpDelegate;
    bool mClearOnEmptyClick;
};

} // namespace JoxWsdd
