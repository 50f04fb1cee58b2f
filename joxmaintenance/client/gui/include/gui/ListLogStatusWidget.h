#pragma once

#include <joxmaintenance/CommandStatus.h>

#include <QList>
#include <QString>
#include <QWidget>

class QTableView;

namespace joxmaintenance {

class ListLogStatusModel;
class LogStatusFilterProxyModel;
class ProgressWidgetDelegate;

// The "Track running tasks" page: the jobs of the servers with a drawn
// progress bar, and "Filter finished" to hide the successful ones.
class ListLogStatusWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ListLogStatusWidget(QWidget* pParent = nullptr);

    // Replaces the list of that server.
    void UpdateStatus(const QString& rServerUrl, const QList<CommandStatusPtr>& rStatuses);

private slots:
    void SlotFilterFinished(bool checked);

private:
    QTableView* mpTableView;
    ListLogStatusModel* mpModel;
    LogStatusFilterProxyModel* mpFilter;
    ProgressWidgetDelegate* mpDelegate;
};

} // namespace joxmaintenance
