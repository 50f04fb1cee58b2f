#include <gui/LogStatusFilterProxyModel.h>

#include <gui/ListLogStatusModel.h>

#include <joxlog/JoxLog.h>

#include <QMutexLocker>

namespace joxmaintenance {

LogStatusFilterProxyModel::LogStatusFilterProxyModel(QObject* pParent)
    : QSortFilterProxyModel(pParent)
{
    setDynamicSortFilter(false);
}

void LogStatusFilterProxyModel::SetFilterFinished(bool hideFinished)
{
    mHideFinished = hideFinished;
    invalidateFilter();
}

bool LogStatusFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex& rSourceParent) const
{
    const ListLogStatusModel* pModel = qobject_cast<const ListLogStatusModel*>(sourceModel());
    if (!pModel)
    {
        JoxCore::Log(2, 0, "Maintenance", "! p_connection_model", __FILE__, __LINE__, __func__);
        return false;
    }
    QMutexLocker<QRecursiveMutex> lock(&pModel->GetMutex());
    const QModelIndex source = pModel->index(sourceRow, 0, rSourceParent);
    if (!source.isValid())
    {
        JoxCore::Log(2, 0, "Maintenance", "! source_index.isValid()", __FILE__, __LINE__, __func__);
        return false;
    }
    return !pModel->data(source, ListLogStatusModel::FinishedRole).toBool() || !mHideFinished;
}

} // namespace joxmaintenance
