#include <clientview/WsddConnectionView.h>

#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>
#include <clientview/WsddConnectionItemDelegate.h>

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QSortFilterProxyModel>
#include <QTimer>

namespace JoxWsdd {

namespace {

const int cChannelColumnWidth = 40;
// How long a refilled list has to list the services last reported again
// before they count as gone: a WS-Discovery target answers a Probe within
// half a second; four times that allows for a loaded network.
const int cRefillWindowMs = 2000;

} // namespace

WsddConnectionView::WsddConnectionView(QWidget* pParent)
    : QTableView(pParent),
      mpRefillTimer(new QTimer(this)),
      mPressPosition(0, 0),
      mpDelegate(nullptr),
      mClearOnEmptyClick(false)
{
    mpRefillTimer->setSingleShot(true);
    mpRefillTimer->setInterval(cRefillWindowMs);
    connect(mpRefillTimer, &QTimer::timeout, this, &WsddConnectionView::FollowModel);
}

void WsddConnectionView::SetUp(QAbstractItemView::SelectionMode mode, bool clearOnEmptyClick)
{
    mClearOnEmptyClick = clearOnEmptyClick;
    verticalHeader()->hide();
    // The delegate's hint is the same for every row: a fixed size taken from
    // it spares measuring every row whenever one is added.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    horizontalHeader()->resizeSection(1, cChannelColumnWidth);
    setSelectionMode(mode);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    mpDelegate = new WsddConnectionItemDelegate(this);
    setItemDelegateForColumn(0, mpDelegate);
    ApplyRowHeight();
}

void WsddConnectionView::ApplyRowHeight()
{
    if (mpDelegate == nullptr)
        return;
    // As a row sized to its contents: the hint and the grid line.
    const int height = mpDelegate->sizeHint(QStyleOptionViewItem(), QModelIndex()).height() + (showGrid() ? 1 : 0);
    verticalHeader()->setMinimumSectionSize(qMin(verticalHeader()->minimumSectionSize(), height));
    verticalHeader()->setDefaultSectionSize(height);
}

void WsddConnectionView::SetDetails(bool details)
{
    if (mpDelegate != nullptr)
        mpDelegate->SetDetails(details);
    ApplyRowHeight();
    updateGeometries();
}

Qt::DropAction WsddConnectionView::ExecuteDrag(QDrag* pDrag, Qt::DropActions actions)
{
    return pDrag->exec(actions);
}

void WsddConnectionView::StartDrag()
{
    QItemSelectionModel* pSelection = selectionModel();
    if (pSelection == nullptr || model() == nullptr)
        return;
    const QModelIndexList indexes = pSelection->selectedIndexes();
    for (const QModelIndex& rIndex : indexes)
    {
        if (!rIndex.data(ConnectionModel::DragTypeRole).toBool())
            return;
    }
    QDrag* pDrag = new QDrag(this);
    QMimeData* pData = model()->mimeData(indexes);
    if (pData == nullptr)
    {
        delete pDrag;
        return;
    }
    pDrag->setMimeData(pData);
    emit SignalStartConnectionDrag();
    ExecuteDrag(pDrag, Qt::MoveAction);
    emit SignalEndConnectionDrag();
}

void WsddConnectionView::mousePressEvent(QMouseEvent* pEvent)
{
    QTableView::mousePressEvent(pEvent);
    mPressPosition = pEvent->pos();
    if (mClearOnEmptyClick && !indexAt(mPressPosition).isValid())
        clearSelection();
    EmitSelection();
}

void WsddConnectionView::EmitSelection()
{
    const QModelIndexList rows = SelectedRows();
    QList<WebServiceInfoPtr> result;
    QStringList urls;
    QList<QPersistentModelIndex> reportedRows;
    // Rows belong to the proxy's source; the controller's model stands in
    // when the view shows another model.
    const auto* pProxy = qobject_cast<const QSortFilterProxyModel*>(model());
    ConnectionModel* pModel = pProxy != nullptr ? qobject_cast<ConnectionModel*>(pProxy->sourceModel()) : nullptr;
    if (pModel == nullptr)
        pModel = ConnectionController::Instance()->GetModel();
    for (const QModelIndex& rRow : rows)
    {
        if (!rRow.isValid())
            continue;
        const int sourceRow = pProxy != nullptr ? pProxy->mapToSource(rRow).row() : rRow.row();
        const WebServiceInfoPtr pEntry = pModel->GetService(sourceRow);
        if (pEntry)
        {
            result.append(pEntry);
            urls.append(rRow.data(ConnectionModel::UrlRole).toString());
            reportedRows.append(QPersistentModelIndex(rRow.siblingAtColumn(0)));
        }
    }
    mReportedUrls = urls;
    mReportedRows = reportedRows;
    mpRefillTimer->stop();
    emit SignalSelectionChanged(result);
}

void WsddConnectionView::ForgetSelection()
{
    mReportedUrls.clear();
    mReportedRows.clear();
    mpRefillTimer->stop();
    clearSelection();
}

bool WsddConnectionView::AwaitsRefill() const
{
    return mpRefillTimer->isActive();
}

void WsddConnectionView::setModel(QAbstractItemModel* pModel)
{
    if (model() != nullptr)
        disconnect(model(), nullptr, this, nullptr);
    QTableView::setModel(pModel);
    if (pModel == nullptr)
        return;
    // A reset empties the list to refill it (a refresh): the services last
    // reported have a while to come back.
    connect(pModel, &QAbstractItemModel::modelReset, this, [this] {
        if (!mReportedUrls.isEmpty())
            mpRefillTimer->start();
    });
    // Queued, once for the changes of one pass of the event loop: the panel
    // clears the selection on a row change after the proxy has passed the
    // change on.
    const auto follow = [this] {
        if (mFollowPosted)
            return;
        mFollowPosted = true;
        QMetaObject::invokeMethod(this, &WsddConnectionView::FollowModel, Qt::QueuedConnection);
    };
    connect(pModel, &QAbstractItemModel::modelReset, this, follow);
    connect(pModel, &QAbstractItemModel::layoutChanged, this, follow);
    connect(pModel, &QAbstractItemModel::rowsInserted, this, follow);
    connect(pModel, &QAbstractItemModel::rowsRemoved, this, follow);
    connect(pModel, &QAbstractItemModel::dataChanged, this, follow);
}

void WsddConnectionView::rowsAboutToBeRemoved(const QModelIndex& rParent, int start, int end)
{
    // In single selection the base makes the next row current, and with it
    // highlighted; the highlight goes with the row instead.
    QItemSelectionModel* pSelection = selectionModel();
    const QModelIndex current = pSelection != nullptr ? pSelection->currentIndex() : QModelIndex();
    if (current.isValid() && current.parent() == rParent && current.row() >= start && current.row() <= end)
        pSelection->clearCurrentIndex();
    QTableView::rowsAboutToBeRemoved(rParent, start, end);
}

void WsddConnectionView::FollowModel()
{
    mFollowPosted = false;
    if (mReportedUrls.isEmpty() || model() == nullptr)
    {
        mpRefillTimer->stop();
        return;
    }
    if (FindReportedRows())
    {
        mpRefillTimer->stop();
        RestoreSelection();
        return;
    }
    if (mpRefillTimer->isActive())
        return;
    mReportedUrls.clear();
    mReportedRows.clear();
    clearSelection();
    emit SignalSelectionLeft();
}

bool WsddConnectionView::FindReportedRows()
{
    bool all = true;
    for (int i = 0; i < mReportedUrls.size(); ++i)
    {
        const QString& rUrl = mReportedUrls.at(i);
        const QPersistentModelIndex& rRow = mReportedRows.at(i);
        if (rRow.isValid() && rRow.data(ConnectionModel::UrlRole).toString() == rUrl)
            continue;
        // Outside a refill a row that went, or shows another URL now, is gone;
        // only a refill brings services back in rows of their own.
        bool found = false;
        for (int row = 0; mpRefillTimer->isActive() && !found && row < model()->rowCount(); ++row)
        {
            const QModelIndex index = model()->index(row, 0);
            found = index.data(ConnectionModel::UrlRole).toString() == rUrl;
            if (found)
                mReportedRows[i] = QPersistentModelIndex(index);
        }
        all = all && found;
    }
    return all;
}

void WsddConnectionView::RestoreSelection()
{
    QItemSelectionModel* pSelection = selectionModel();
    if (pSelection == nullptr || pSelection->hasSelection())
        return;
    for (const QPersistentModelIndex& rRow : mReportedRows)
    {
        pSelection->setCurrentIndex(rRow, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (selectionMode() == QAbstractItemView::SingleSelection)
            return;
    }
}

void WsddConnectionView::mouseMoveEvent(QMouseEvent* pEvent)
{
    const QModelIndexList before = SelectedRows();
    QTableView::mouseMoveEvent(pEvent);
    // With the button held the base selects the row under the pointer, also
    // short of a drag: the receiver learns of it as of a press.
    if (SelectedRows() != before)
        EmitSelection();
    if ((pEvent->buttons() & Qt::LeftButton) &&
        (pEvent->pos() - mPressPosition).manhattanLength() >= QApplication::startDragDistance())
        StartDrag();
}

void WsddConnectionView::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    QTableView::mouseDoubleClickEvent(pEvent);
    if (pEvent->buttons() & Qt::LeftButton)
        StartDrag();
}

void WsddConnectionView::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_Tab)
    {
        pEvent->ignore();
        return;
    }
    const QModelIndexList before = SelectedRows();
    QTableView::keyPressEvent(pEvent);
    // Selecting by keyboard is selecting: the receiver learns of it as of a press.
    if (SelectedRows() != before)
        EmitSelection();
}

QModelIndexList WsddConnectionView::SelectedRows() const
{
    return selectionModel() != nullptr ? selectionModel()->selectedRows() : QModelIndexList();
}

} // namespace JoxWsdd
