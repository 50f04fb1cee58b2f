#pragma once

#include <joxmaintenance/CommandStatus.h>

#include <QList>
#include <QString>
#include <QWidget>

class QLabel;
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
    // Says that the server has not answered the status poll yet, instead of
    // an empty table.
    void SetWaiting(const QString& rServer);
    // Says that the server's status poll failed, and why (rReason, a
    // sentence), so that an empty or old table does not pass for the
    // server's jobs.
    void SetStatusFailed(const QString& rServer, const QString& rReason);
    // Says that the server's information query failed, and why, so that its
    // jobs are not polled, and that selecting it again tries again.
    void SetNotQueried(const QString& rServer, const QString& rReason);
    // Takes the note away: an answer has arrived, or there is no server.
    void ClearNote();
    // A note is shown instead of, or above, the table.
    bool HasNote() const;

private slots:
    void SlotFilterFinished(bool checked);

private:
    QLabel* mpNoteLabel;
    QTableView* mpTableView;
    ListLogStatusModel* mpModel;
    LogStatusFilterProxyModel* mpFilter;
    ProgressWidgetDelegate* mpDelegate;
};

} // namespace joxmaintenance
