#pragma once

#include <joxmaintenance/Command.h>
#include <joxmaintenance/CommandStatus.h>
#include <joxmaintenance/LogEntry.h>
#include <joxwsdd/WebServiceInfo.h>

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QStackedWidget;
class QVBoxLayout;

namespace JoxGui {
class Messagebox;
class StylableTabWidget;
}

namespace joxmaintenance {

class CreateLogWidget;
class ListLogStatusWidget;
class ListLogWidget;
class MaintenanceController;
class StatusArea;

// The middle column: turns the selected service into a server URL, drives
// the one maintenance controller and connects its results with the three
// pages "Create log package", "List log packages" and "Track running tasks".
class WorkspaceWidget : public QWidget
{
    Q_OBJECT

public:
    explicit WorkspaceWidget(QWidget* pParent = nullptr);
    ~WorkspaceWidget() override;

    // "Current server: " with the name and the short URL.
    void SetServerLabel(const QString& rName, const QString& rUrl);

    // For tests and the window: the current controller, null without server.
    MaintenanceController* GetController() const { return mpController; }

signals:
    // The workspace gave its server up by itself (the server did not
    // answer, or its URL was refused); the servers list clears its highlight.
    void SignalServerDropped();

public slots:
    void SlotActiveUrlChanged(const QList<JoxWsdd::WebServiceInfoPtr>& rServices);
    // The server selected in the Servers list is no longer listed there: it
    // is left as on an empty selection (its works run on), and the status
    // area says why.
    void SlotServerLeftList();
    void SlotGather();
    void SlotFetch(const QStringList& rNames);
    void SlotDelete(const QString& rName);
    void SlotClearLogEntries();
    void SlotLogCollect();
    void SlotUpdateCreateLogWidget(const joxmaintenance::LogEntryList& rEntries);
    void SlotUpdateListLogWidget(const QStringList& rNames);
    // The listing just shown was requested as command requestSerial: deletes
    // that had ended before it was requested may be sent again.
    void SlotCollectionsListed(quint64 requestSerial);
    void SlotUpdateCommandStatusWidget(const QString& rServerUrl,
                                       const QList<joxmaintenance::CommandStatusPtr>& rStatuses);
    void SlotCommandHandlingFailed(const joxmaintenance::CommandPtr& rCommand);
    // A request started here has ended: the status line shows how; a failed
    // gather, download or delete gets its box with the reason, whichever
    // server is selected now.
    void SlotRequestFinished(const joxmaintenance::CommandPtr& rCommand);

protected:
    // Asks for the target folder of a download; empty when cancelled.
    virtual QString ChooseFolder();

private:
    // ChooseFolder for a work on the server of rServerUrl, remembered as the
    // next start folder; empty when cancelled, and when that server is not
    // the current one before or after the dialog (it was left, or another
    // was selected): then the box rTitle says why and rNothingDone.
    QString ChooseTargetFolder(const QString& rServerUrl, const QString& rTitle, const QString& rNothingDone);
    // The box and the log record for a work not started because the server
    // of rServerUrl is no longer the current one.
    void SayServerGone(const QString& rServerUrl, const QString& rTitle, const QString& rNothingDone);
    void DisconnectAll();
    void ConnectAll();
    void DropController();
    // "Downloading log package ..." and the like for a failed request of the
    // operator; empty for the failures that are only logged.
    static QString FailedOperationText(const Command& rCommand);
    // A gather, download, delete or delete all: told of when it ends,
    // whichever server it belongs to.
    static bool IsOperatorsWork(int commandType);
    // Why the command failed, in one line, for notes and the status line.
    static QString ReasonLine(const Command& rCommand);
    // Why the command failed, with what the runtime adds, for its box.
    static QString FailureDetails(const Command& rCommand);
    // The "Request Failed" box (or the open box of its server) for a failed
    // request of the operator, with the server and the reason.
    void ShowRequestFailure(const Command& rCommand);
    // A non-modal warning box for the server; while one for the same server
    // is open, the text is added to it instead (once), so that one outage
    // gives one box.
    void ShowFailureBox(const QString& rTitle, const QString& rText, const QString& rObjectName,
                        const QString& rServerUrl);
    // "name (URL)" with the name the Servers list showed when the server was
    // last selected, else the URL.
    QString DescribeServer(const QString& rUrl) const;
    // Shows a gather or download of the current server on the status line
    // until it ends.
    void AddRunningWork(const CommandPtr& rCommand, const QString& rText);

    QVBoxLayout* mpLayout;
    QLabel* mpServerLabel;
    // The status line: what runs, how it ended, why the server was left.
    StatusArea* mpStatusArea;
    JoxGui::StylableTabWidget* mpTabWidget;
    CreateLogWidget* mpCreateLogWidget;
    QLabel* mpPromptLabel;
    QStackedWidget* mpCreateStack;
    ListLogWidget* mpListLogWidget;
    ListLogStatusWidget* mpStatusWidget;
    MaintenanceController* mpController;
    QString mLastFolder;
    // The current server's name as the Servers list showed it on selection.
    QString mShownName;
    // The names the Servers list showed for the servers selected, by URL.
    QHash<QString, QString> mShownNames;
    // The failure boxes still open, by server URL.
    QHash<QString, QPointer<JoxGui::Messagebox>> mOpenFailureBoxes;
    // Deletes not to send again, by "URL\nname": 0 while the request runs;
    // once it succeeded, the latest command serial then, until a listing of
    // that server requested after it has arrived.
    QHash<QString, quint64> mPendingDeletes;
    // The current server, while its information query has failed and it has
    // not been selected again.
    QString mUnqueriedUrl;
    // A failed listing has been reported and no listing succeeded since.
    bool mListingFailureShown = false;
};

} // namespace joxmaintenance
