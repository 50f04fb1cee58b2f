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

namespace JoxWsdd {

namespace {

const int cChannelColumnWidth = 40;

} // namespace

WsddConnectionView::WsddConnectionView(QWidget* pParent)
    : QTableView(pParent), mPressPosition(0, 0), mpDelegate(nullptr), mClearOnEmptyClick(false)
{
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
    QModelIndexList rows;
    if (selectionModel() != nullptr)
        rows = selectionModel()->selectedRows();
    QList<WebServiceInfoPtr> result;
    QStringList urls;
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
        }
    }
    mReportedUrls = urls;
    emit SignalSelectionChanged(result);
}

void WsddConnectionView::ForgetSelection()
{
    mReportedUrls.clear();
    clearSelection();
}

void WsddConnectionView::setModel(QAbstractItemModel* pModel)
{
    if (model() != nullptr)
        disconnect(model(), nullptr, this, nullptr);
    QTableView::setModel(pModel);
    if (pModel == nullptr)
        return;
    // Queued: the panel clears the selection on a row change after the
    // proxy has passed the change on.
    connect(pModel, &QAbstractItemModel::modelReset, this, &WsddConnectionView::RestoreSelection, Qt::QueuedConnection);
    connect(pModel, &QAbstractItemModel::layoutChanged, this, &WsddConnectionView::RestoreSelection, Qt::QueuedConnection);
    connect(pModel, &QAbstractItemModel::rowsInserted, this, &WsddConnectionView::RestoreSelection, Qt::QueuedConnection);
    connect(pModel, &QAbstractItemModel::dataChanged, this, &WsddConnectionView::RestoreSelection, Qt::QueuedConnection);
}

void WsddConnectionView::RestoreSelection()
{
    QItemSelectionModel* pSelection = selectionModel();
    if (mReportedUrls.isEmpty() || model() == nullptr || pSelection == nullptr || pSelection->hasSelection())
        return;
    for (int row = 0; row < model()->rowCount(); ++row)
    {
        const QModelIndex index = model()->index(row, 0);
        if (!mReportedUrls.contains(index.data(ConnectionModel::UrlRole).toString()))
            continue;
        pSelection->setCurrentIndex(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (selectionMode() == QAbstractItemView::SingleSelection)
            return;
    }
}

void WsddConnectionView::mouseMoveEvent(QMouseEvent* pEvent)
{
    QTableView::mouseMoveEvent(pEvent);
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
    const QModelIndexList before = selectionModel() != nullptr ? selectionModel()->selectedRows() : QModelIndexList();
    QTableView::keyPressEvent(pEvent);
    // Selecting by keyboard is selecting: the receiver learns of it as of a press.
    if (selectionModel() != nullptr && selectionModel()->selectedRows() != before)
        EmitSelection();
}

} // namespace JoxWsdd
