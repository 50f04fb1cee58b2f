#include <clientview/WsddConnectionProxyModel.h>

#include <clientview/ConnectionModel.h>

#include <joxlog/JoxLog.h>

#include <QMutexLocker>

namespace JoxWsdd {

WsddConnectionProxyModel::WsddConnectionProxyModel(QObject* pParent)
    : QSortFilterProxyModel(pParent), mSortKind(SortByUrl), mDescending(false), mShowAll(false), mGrouping(false)
{
    setDynamicSortFilter(true);
}

WsddConnectionProxyModel::~WsddConnectionProxyModel() = default;

void WsddConnectionProxyModel::SetFilter(int sortKind, bool descending, bool showAll, bool grouping)
{
    ConnectionModel* pModel = qobject_cast<ConnectionModel*>(sourceModel());
    if (pModel == nullptr)
        return;
    QMutexLocker<QRecursiveMutex> lock(&pModel->GetMutex());
    mSortKind = sortKind;
    mDescending = descending;
    mShowAll = showAll;
    mGrouping = grouping;
    invalidateFilter();
    if (sortKind == SortByUrl)
        setSortRole(ConnectionModel::UrlRole);
    else if (sortKind == SortByName)
        setSortRole(ConnectionModel::NameRole);
    sort(0, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

bool WsddConnectionProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& rSourceParent) const
{
    ConnectionModel* pModel = qobject_cast<ConnectionModel*>(sourceModel());
    if (pModel == nullptr)
    {
        JoxCore::Log(2, 0, "HarlenPlay", "! p_connection_model", __FILE__, __LINE__, __func__);
        return false;
    }
    QMutexLocker<QRecursiveMutex> lock(&pModel->GetMutex());
    const QModelIndex sourceIndex = pModel->index(sourceRow, 0, rSourceParent);
    if (!sourceIndex.isValid())
    {
        JoxCore::Log(2, 0, "HarlenPlay", "! source_index.isValid()", __FILE__, __LINE__, __func__);
        return false;
    }
    const bool relevant = sourceIndex.data(ConnectionModel::RelevantRole).toBool();
    const bool member = sourceIndex.data(ConnectionModel::GroupMemberRole).toBool();
    if (mGrouping && member)
        return false;
    return mShowAll || relevant;
}

} // namespace JoxWsdd
