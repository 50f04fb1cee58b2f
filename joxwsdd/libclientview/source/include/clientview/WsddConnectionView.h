#pragma once

#include <joxwsdd/WebServiceInfo.h>

#include <QAbstractItemView>
#include <QList>
#include <QPoint>
#include <QStringList>
#include <QTableView>

class QDrag;

namespace JoxWsdd {

class WsddConnectionItemDelegate;

// The servers list: one row per service, the entry drawn by the item
// delegate in column 0 and the channel label in column 1. A press reports
// the selected services; pulling a row out starts a drag of its service
// description. Tab moves the focus on instead of the current cell.
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

    void setModel(QAbstractItemModel* pModel) override;

signals:
    void SignalStartConnectionDrag();
    void SignalEndConnectionDrag();
    void SignalSelectionChanged(QList<JoxWsdd::WebServiceInfoPtr> services);

protected:
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

    // Runs the drag with the supported actions; returns when the drop is over.
    virtual Qt::DropAction ExecuteDrag(QDrag* pDrag, Qt::DropActions actions);

private:
    // Every row as high as the delegate's size hint, without measuring rows.
    void ApplyRowHeight();
    // Reports the selected services and remembers their URLs.
    void EmitSelection();
    // Highlights the services last reported again when the model has lost
    // the selection (a row changed, the list was refilled) and they are
    // listed: the highlight stays on the server the receiver acts on.
    void RestoreSelection();

    // The URLs of the services last reported.
    QStringList mReportedUrls;
    QPoint mPressPosition;
    WsddConnectionItemDelegate* mpDelegate;
    bool mClearOnEmptyClick;
};

} // namespace JoxWsdd
