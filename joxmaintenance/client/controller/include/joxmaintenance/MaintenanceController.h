#pragma once

#include <joxcore/QThreadWrapper.h>
#include <joxmaintenance/Command.h>
#include <joxmaintenance/CommandStatus.h>
#include <joxmaintenance/LogEntry.h>

#include <boost/shared_ptr.hpp>

#include <QList>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QString>
#include <QStringList>

namespace joxmaintenance {

class CommandPollWorker;
class ServerConnection;

// The GUI's contact with the maintenance services: runs each request on a
// thread of its own, polls every server whose information query succeeded
// on one poll thread, and turns the finished commands of the current server
// into signals. Lives on the GUI thread.
class MaintenanceController : public QObject
{
    Q_OBJECT

public:
    // Throws std::runtime_error for a malformed URL.
    MaintenanceController(const QString& rUrl, const QString& rName, const QString& rSoftwareVersion,
                          const QString& rServiceVersion);
    // Aborts the running requests and polls and waits for the poll thread to
    // end (at once, unless a connection is still being made).
    ~MaintenanceController() override;

    // Gives the controller up without blocking: it emits nothing more, its
    // running requests and polls are aborted (their sockets shut down), and
    // it deletes itself once its poll thread and request threads have ended.
    void Abandon();
    // Aborts everything and waits at most the given time for the poll thread
    // and the request threads to end; true when all have.
    bool Stop(int milliseconds);
    // At exit: stops every controller still alive within the given time in
    // all and deletes those whose threads have ended; true when none is left.
    static bool StopAll(int milliseconds);

    // Points the controller at another server; the same URL changes nothing.
    // Throws std::runtime_error for a malformed URL, leaving the current one.
    void SetServer(const QString& rUrl, const QString& rName, const QString& rSoftwareVersion,
                   const QString& rServiceVersion);
    QString GetServerUrl() const;
    QString GetServerName() const;

    // The requests return the command started, which SignalRequestFinished
    // hands back when it has ended.
    CommandPtr ClearLogEntries();
    CommandPtr CollectLog(const LogEntryList& rEntries);
    CommandPtr DeleteLog(const QString& rCollectionName);
    CommandPtr FetchLog(const QString& rTargetFolder, const QString& rCollectionName);
    CommandPtr GatherLogs(const QString& rTargetFolder, const LogEntryList& rEntries);
    void ListAvailableLogs();
    void ListLogCollections();
    void QueryMachineInformation();

    // Runs the command on a new thread; it comes back to SlotCommandFinished.
    // Returns the command.
    CommandPtr StartWorker(CommandPtr pCommand);

signals:
    void SignalListAvailableLogsFinished(LogEntryList entries);
    void SignalListLogConnectionsFinished(QStringList collections);
    void SignalCommandStatusListUpdate(QString serverUrl, QList<CommandStatusPtr> statuses);
    // A command of the current server failed; receivers may delete the
    // controller while handling it.
    void SignalCommandHandlingFailed(CommandPtr pCommand);
    void SignalStartPolling();
    // A requested (not polled) command has ended, successful or not, for
    // whichever server it was sent to; emitted before the failure signal.
    // Not emitted once the controller has been given up.
    void SignalRequestFinished(joxmaintenance::CommandPtr pCommand);

private slots:
    void SlotCommandFinished(joxmaintenance::CommandPtr pCommand);

private:
    void PublishStatusList(const CommandPtr& rCommand);
    // Aborts the pollers (once, then quits the poll thread) and the running
    // requests.
    void AbortAll();
    // Deletes an abandoned controller whose threads have all ended.
    void DeleteWhenIdle();
    static QList<MaintenanceController*>& Alive();

    // A request thread and its command, until the thread has ended.
    struct Request
    {
        quint64 mSerial;
        QPointer<QThread> mpThread;
        CommandPtr mpCommand;
    };

    boost::shared_ptr<ServerConnection> mpServer;
    JoxCore::QThreadWrapper mPollThread;
    QList<CommandPollWorker*> mPollers;
    QList<Request> mRequests;
    quint64 mRequestSerial = 0;
    bool mPollThreadQuit = false;
    bool mPollThreadEnded = false;
    bool mAbandoned = false;
};

} // namespace joxmaintenance
