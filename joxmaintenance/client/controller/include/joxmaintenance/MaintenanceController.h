#pragma once

#include <joxcore/QThreadWrapper.h>
#include <joxmaintenance/Command.h>
#include <joxmaintenance/CommandStatus.h>
#include <joxmaintenance/LogEntry.h>

#include <boost/shared_ptr.hpp>

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QThread>
#include <QString>
#include <QStringList>

#include <memory>

namespace joxmaintenance {

class CommandPollWorker;
class ServerConnection;

// The GUI's contact with the maintenance services: runs each request on a
// thread of its own, polls every server whose information query succeeded
// on one of two poll threads, whatever the number of servers: the current
// server on a thread of its own (so no other server delays it), every other
// on one shared thread; and turns the finished commands of the current
// server into signals. Lives on the GUI thread.
class MaintenanceController : public QObject
{
    Q_OBJECT

public:
    // Throws std::runtime_error for a malformed URL.
    MaintenanceController(const QString& rUrl, const QString& rName, const QString& rSoftwareVersion,
                          const QString& rServiceVersion);
    // Aborts the polls and the requests for the pages and waits for the two
    // poll threads to end (at once, unless a connection is still being
    // made). The operator's works go on to their end and their threads
    // delete themselves.
    ~MaintenanceController() override;

    // Gives the controller up without blocking: its polls and its requests
    // for the pages are aborted (their sockets shut down), the operator's
    // works go on to their end, and it emits nothing more but
    // SignalRequestFinished. It deletes itself once its poll threads and
    // request threads have ended.
    void Abandon();
    // Aborts the polls and the requests and waits at most the given time for
    // their threads to end; true when all have.
    bool Stop(int milliseconds);
    // At exit: stops every controller still alive within the given time in
    // all and deletes those whose threads have ended; true when none is left.
    static bool StopAll(int milliseconds);

    // Points the controller at another server; the same URL changes nothing.
    // Throws std::runtime_error for a malformed URL, leaving the current one.
    // The requests for the pages of the server left are abandoned. A polled
    // server that stops being current goes to the shared poll thread, its
    // poll under way abandoned; one that becomes current comes to the
    // current server's thread.
    void SetServer(const QString& rUrl, const QString& rName, const QString& rSoftwareVersion,
                   const QString& rServiceVersion);
    QString GetServerUrl() const;
    QString GetServerName() const;

    // The operator's works: each returns the command started, which
    // SignalRequestFinished hands back when it has ended, whichever server is
    // selected by then.
    CommandPtr ClearLogEntries();
    CommandPtr CollectLog(const LogEntryList& rEntries);
    CommandPtr DeleteLog(const QString& rCollectionName);
    CommandPtr FetchLog(const QString& rTargetFolder, const QString& rCollectionName);
    CommandPtr GatherLogs(const QString& rTargetFolder, const LogEntryList& rEntries);
    // The requests for the pages of the current server: abandoned when it
    // stops being current or the controller is given up (their connection
    // closed, their end dropped unlogged).
    void ListAvailableLogs();
    void ListLogCollections();
    void QueryMachineInformation();

    // Runs the command on a new thread; it comes back to SlotCommandFinished.
    // Returns the command.
    CommandPtr StartWorker(CommandPtr pCommand);

signals:
    void SignalListAvailableLogsFinished(LogEntryList entries);
    void SignalListLogConnectionsFinished(QStringList collections);
    // Right after SignalListLogConnectionsFinished, for the same listing: the
    // serial of its command (Command::GetSerial), which tells a listing
    // requested after some moment from one requested, or in flight, before.
    void SignalCollectionsListed(quint64 requestSerial);
    void SignalCommandStatusListUpdate(QString serverUrl, QList<CommandStatusPtr> statuses);
    // A command of the current server failed; receivers may delete the
    // controller while handling it.
    void SignalCommandHandlingFailed(CommandPtr pCommand);
    // A requested (not polled) command has ended, successful or not, for
    // whichever server it was sent to; emitted before the failure signal,
    // also once the controller has been given up. Not for a request for the
    // pages that was abandoned.
    void SignalRequestFinished(joxmaintenance::CommandPtr pCommand);

private slots:
    void SlotCommandFinished(joxmaintenance::CommandPtr pCommand);

private:
    // A poll thread and its three pollers (the thread owns them).
    struct PollThread
    {
        std::unique_ptr<JoxCore::QThreadWrapper> mpThread;
        QList<CommandPollWorker*> mPollers;
        bool mEnded = false;
    };

    void PublishStatusList(const CommandPtr& rCommand);
    void StartPollThread(PollThread& rPolls);
    // From now on the server is polled for the controller's life.
    void AddPolledServer(const QString& rUrl);
    // Moves the polls of the server left to the shared thread and those of
    // the new current server to its own.
    void MovePolls(const QString& rLeftUrl, const QString& rCurrentUrl);
    // Aborts the pollers and quits their threads; no server is added after.
    void AbortPolls();
    // Aborts the polls and the running requests.
    void AbortAll();
    // Aborts the running requests for the pages of every server but
    // rKeptUrl (of all when it is empty); their ends are dropped.
    void AbandonPageRequests(const QString& rKeptUrl);
    // Runs the command on a new thread, as a request for the pages or as one
    // of the operator's works.
    CommandPtr StartRequest(CommandPtr pCommand, bool forPages);
    // Deletes an abandoned controller whose threads have all ended.
    void DeleteWhenIdle();
    bool PollThreadsEnded() const;
    static QList<MaintenanceController*>& Alive();

    // A request thread and its command, until the thread has ended.
    struct Request
    {
        quint64 mSerial;
        QPointer<QThread> mpThread;
        CommandPtr mpCommand;
        // An information query or a listing for the pages.
        bool mForPages = false;
        // Aborted with its server: its end is dropped.
        bool mAbandoned = false;
    };

    boost::shared_ptr<ServerConnection> mpServer;
    // The current server's polls, and those of every other server polled.
    PollThread mCurrentPolls;
    PollThread mOtherPolls;
    // Every server polled (those whose information query succeeded).
    QSet<QString> mPolledUrls;
    QList<Request> mRequests;
    quint64 mRequestSerial = 0;
    bool mPollsQuit = false;
    bool mAbandoned = false;
};

} // namespace joxmaintenance
