#pragma once

#include <joxmaintenance/CommandStatus.h>

#include <QAbstractItemModel>
#include <QList>
#include <QMutex>
#include <QString>

#include <map>

namespace joxmaintenance {

// The jobs of every server as one flat table: the lists in URL order, each
// in its own order. Columns: type, percent, state, details.
class ListLogStatusModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    // True for a finished job, in any column.
    static const int FinishedRole = Qt::UserRole;

    explicit ListLogStatusModel(QObject* pParent = nullptr);

    // Replaces that server's list; an empty list removes the server.
    void SetStatusList(const QString& rServerUrl, const QList<CommandStatusPtr>& rStatuses);
    // The status of a flat row; null past the end.
    CommandStatusPtr GetStatusAt(int row) const;
    // Taken by the filter while it reads rows.
    QRecursiveMutex& GetMutex() const { return mMutex; }

    QModelIndex index(int row, int column, const QModelIndex& rParent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& rIndex) const override;
    int rowCount(const QModelIndex& rParent = QModelIndex()) const override;
    int columnCount(const QModelIndex& rParent = QModelIndex()) const override;
    QVariant data(const QModelIndex& rIndex, int role = Qt::DisplayRole) const override;

private:
    std::map<QString, QList<CommandStatusPtr>> mCommandList;
    mutable QRecursiveMutex mMutex;
};

} // namespace joxmaintenance
