#include <gui/ListLogStatusModel.h>

#include <joxlog/JoxLog.h>
#include <joxmaintenance/CommandType.h>

#include <QMutexLocker>

namespace joxmaintenance {

namespace {

const char* const kDataFunction = "joxmaintenance::ListLogStatusModel::data";

// The line defaults to the caller's, so the record names the failed check.
QVariant Refuse(const char* pCondition, int line = __builtin_LINE())
{
    JoxCore::Log(2, 0, "Tandril", pCondition, __FILE__, line, kDataFunction);
    return QVariant();
}

} // namespace

ListLogStatusModel::ListLogStatusModel(QObject* pParent)
    : QAbstractItemModel(pParent)
{
}

void ListLogStatusModel::SetStatusList(const QString& rServerUrl, const QList<CommandStatusPtr>& rStatuses)
{
    QMutexLocker<QRecursiveMutex> lock(&mMutex);
    beginResetModel();
    mCommandList.erase(rServerUrl);
    if (!rStatuses.isEmpty())
        mCommandList[rServerUrl] = rStatuses;
    endResetModel();
}

CommandStatusPtr ListLogStatusModel::GetStatusAt(int row) const
{
    if (row < 0)
        return CommandStatusPtr();
    int first = 0;
    for (const auto& rServer : mCommandList)
    {
        const int count = static_cast<int>(rServer.second.size());
        if (row < first + count)
            return rServer.second.at(row - first);
        first += count;
    }
    return CommandStatusPtr();
}

QModelIndex ListLogStatusModel::index(int row, int column, const QModelIndex& rParent) const
{
    QMutexLocker<QRecursiveMutex> lock(&mMutex);
    if (row < 0 || row >= rowCount(rParent) || column < 0 || column >= columnCount(rParent))
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex ListLogStatusModel::parent(const QModelIndex&) const
{
    QMutexLocker<QRecursiveMutex> lock(&mMutex);
    return QModelIndex();
}

int ListLogStatusModel::rowCount(const QModelIndex& rParent) const
{
    if (rParent.isValid())
        return 0;
    int rows = 0;
    for (const auto& rServer : mCommandList)
        rows += static_cast<int>(rServer.second.size());
    return rows;
}

int ListLogStatusModel::columnCount(const QModelIndex&) const
{
    return 4;
}

QVariant ListLogStatusModel::data(const QModelIndex& rIndex, int role) const
{
    QMutexLocker<QRecursiveMutex> lock(&mMutex);
    if (!rIndex.isValid())
        return Refuse("!rIndex.isValid()");
    if (mCommandList.empty())
        return Refuse("mCommandList.empty()");
    if (rIndex.row() < 0 || rIndex.row() > rowCount())
        return Refuse("rIndex.row() < 0 || rIndex.row() > rowCount()");
    if (rIndex.column() < 0 || rIndex.column() > columnCount())
        return Refuse("rIndex.column() > columnCount()");

    const CommandStatusPtr pStatus = GetStatusAt(rIndex.row());
    if (!pStatus)
        return QVariant();
    const int state = pStatus->GetCommandStatus();
    if (role == FinishedRole)
        return state == cs_finished;
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (rIndex.column())
    {
    case 0:
        return CommandTypeDisplayName(pStatus->GetCommandType());
    case 1:
        return pStatus->GetProgressPercent();
    case 2:
        return CommandStateDisplayName(state);
    case 3:
        if (state == cs_pending || state == cs_running || state == cs_finished)
            return pStatus->GetProgressDetails();
        return pStatus->GetErrorDetails();
    default:
        return QVariant();
    }
}

} // namespace joxmaintenance
