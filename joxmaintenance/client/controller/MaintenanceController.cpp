#include <joxmaintenance/MaintenanceController.h>

#include <joxgui/Messagebox.h>
#include <joxlog/JoxLog.h>
#include <joxmaintenance/CommandClearLogEntries.h>
#include <joxmaintenance/CommandCollectLog.h>
#include <joxmaintenance/CommandDeleteLog.h>
#include <joxmaintenance/CommandListAvailableLogs.h>
#include <joxmaintenance/CommandListLogCollections.h>
#include <joxmaintenance/CommandLogFetch.h>
#include <joxmaintenance/CommandLogGather.h>
#include <joxmaintenance/CommandLogStatus.h>
#include <joxmaintenance/CommandPollWorkerListAvailableLogs.h>
#include <joxmaintenance/CommandPollWorkerListLogCollections.h>
#include <joxmaintenance/CommandPollWorkerStatus.h>
#include <joxmaintenance/CommandQueryMachineInformation.h>
#include <joxmaintenance/CommandType.h>
#include <joxmaintenance/LockedCommandStatusList.h>
#include <joxmaintenance/MaintenanceWorker.h>
#include <joxmaintenance/ServerConnection.h>

#include <boost/make_shared.hpp>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QThread>

#include <algorithm>

namespace joxmaintenance {

namespace {

const char* const kLogCategory = "Tandril";
const char* const kSlotFunction = "joxmaintenance::MaintenanceController::SlotCommandFinished";
const char* const kClientServiceVersion = "1.0";

void LogRecord(int level, const QString& rMessage, int line)
{
    const QByteArray text = rMessage.toLocal8Bit();
    JoxCore::Log(level, 0, kLogCategory, text.constData(), __FILE__, line, kSlotFunction);
}

void RegisterMetaTypes()
{
    qRegisterMetaType<CommandPtr>("joxmaintenance::CommandPtr");
    qRegisterMetaType<CommandPtr>("CommandPtr");
    qRegisterMetaType<LogEntryList>("LogEntryList");
    qRegisterMetaType<QList<CommandStatusPtr>>("QList<CommandStatusPtr>");
}

} // namespace

MaintenanceController::MaintenanceController(const QString& rUrl, const QString& rName,
                                             const QString& rSoftwareVersion,
                                             const QString& rServiceVersion)
    : QObject(nullptr)
    , mpServer(boost::make_shared<ServerConnection>(rUrl, rName, rSoftwareVersion, rServiceVersion))
{
    RegisterMetaTypes();
    StartPollThread(mCurrentPolls);
    StartPollThread(mOtherPolls);
    Alive().append(this);
}

MaintenanceController::~MaintenanceController()
{
    Alive().removeAll(this);
    AbortPolls();
    AbandonPageRequests(QString());
    // Each wrapper waits for its thread, which deletes its pollers as it
    // finishes.
    mCurrentPolls.mpThread.reset();
    mOtherPolls.mpThread.reset();
}

QList<MaintenanceController*>& MaintenanceController::Alive()
{
    static QList<MaintenanceController*> controllers;
    return controllers;
}

void MaintenanceController::StartPollThread(PollThread& rPolls)
{
    rPolls.mpThread = std::make_unique<JoxCore::QThreadWrapper>();
    PollThread* pPolls = &rPolls;
    connect(rPolls.mpThread.get(), &JoxCore::QThreadWrapper::SignalFinished, this, [this, pPolls] {
        pPolls->mEnded = true;
        DeleteWhenIdle();
    });
    const QList<CommandPollWorker*> pollers{new CommandPollWorkerStatus, new CommandPollWorkerListAvailableLogs,
                                            new CommandPollWorkerListLogCollections};
    for (CommandPollWorker* pPoller : pollers)
    {
        connect(pPoller, &CommandPollWorker::SigCommandFinished, this, &MaintenanceController::SlotCommandFinished);
        rPolls.mpThread->AddObject(pPoller);
        rPolls.mPollers.append(pPoller);
        // Arms its timers in its own thread.
        QMetaObject::invokeMethod(pPoller, &CommandPollWorker::SlotDoWork, Qt::QueuedConnection);
    }
}

void MaintenanceController::AddPolledServer(const QString& rUrl)
{
    if (mPollsQuit || rUrl.isEmpty() || mPolledUrls.contains(rUrl))
        return;
    mPolledUrls.insert(rUrl);
    const PollThread& rPolls = rUrl == mpServer->GetUrl() ? mCurrentPolls : mOtherPolls;
    for (CommandPollWorker* pPoller : rPolls.mPollers)
        pPoller->AddServerUrl(rUrl);
}

void MaintenanceController::MovePolls(const QString& rLeftUrl, const QString& rCurrentUrl)
{
    if (mPollsQuit)
        return;
    if (mPolledUrls.contains(rLeftUrl))
    {
        // A poll of it under way, unanswered perhaps for long, would hold
        // back the new current server's.
        for (CommandPollWorker* pPoller : mCurrentPolls.mPollers)
            pPoller->RemoveServerUrl(rLeftUrl, CommandPollWorker::RunningPoll::Abandon);
        for (CommandPollWorker* pPoller : mOtherPolls.mPollers)
            pPoller->AddServerUrl(rLeftUrl);
    }
    if (mPolledUrls.contains(rCurrentUrl))
    {
        // A poll of it under way on the shared thread ends there, and its
        // answer counts as the current server's.
        for (CommandPollWorker* pPoller : mOtherPolls.mPollers)
            pPoller->RemoveServerUrl(rCurrentUrl, CommandPollWorker::RunningPoll::Finish);
        for (CommandPollWorker* pPoller : mCurrentPolls.mPollers)
            pPoller->AddServerUrl(rCurrentUrl);
    }
}

bool MaintenanceController::PollThreadsEnded() const
{
    return mCurrentPolls.mEnded && mOtherPolls.mEnded;
}

void MaintenanceController::AbortPolls()
{
    // The pollers live until their thread ends, which it does only once it
    // has been asked to quit.
    if (mPollsQuit)
        return;
    mPollsQuit = true;
    for (PollThread* pPolls : {&mCurrentPolls, &mOtherPolls})
    {
        for (CommandPollWorker* pPoller : pPolls->mPollers)
            pPoller->Abort();
        pPolls->mpThread->Quit();
    }
}

void MaintenanceController::AbortAll()
{
    AbortPolls();
    for (const Request& rRequest : mRequests)
        rRequest.mpCommand->Abort();
}

void MaintenanceController::AbandonPageRequests(const QString& rKeptUrl)
{
    // Unanswered, each would hold its thread and its sockets until its time
    // limit, however fast the selection moves on.
    for (Request& rRequest : mRequests)
    {
        if (!rRequest.mForPages || rRequest.mAbandoned ||
            (!rKeptUrl.isEmpty() && rRequest.mpCommand->GetServerUrl() == rKeptUrl))
            continue;
        rRequest.mAbandoned = true;
        rRequest.mpCommand->Abort();
    }
}

void MaintenanceController::Abandon()
{
    // The operator's works go on: downloads and gathers end by themselves,
    // and so does the controller after them.
    mAbandoned = true;
    AbortPolls();
    AbandonPageRequests(QString());
    DeleteWhenIdle();
}

void MaintenanceController::DeleteWhenIdle()
{
    if (mAbandoned && mPollsQuit && PollThreadsEnded() && mRequests.isEmpty())
        deleteLater();
}

bool MaintenanceController::Stop(int milliseconds)
{
    AbortAll();
    const QDeadlineTimer deadline(milliseconds);
    bool stopped = true;
    for (PollThread* pPolls : {&mCurrentPolls, &mOtherPolls})
        if (!pPolls->mpThread->Wait(static_cast<int>(std::max<qint64>(0, deadline.remainingTime()))))
            stopped = false;
    for (const Request& rRequest : mRequests)
    {
        // Its worker's own request to quit travels through the event loop,
        // which may no longer run.
        if (rRequest.mpThread)
            rRequest.mpThread->quit();
        if (rRequest.mpThread && !rRequest.mpThread->wait(deadline))
            stopped = false;
    }
    return stopped;
}

bool MaintenanceController::StopAll(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    const QList<MaintenanceController*> controllers = Alive();
    // All at once first, so that they end side by side.
    for (MaintenanceController* pController : controllers)
        pController->AbortAll();
    bool stopped = true;
    for (MaintenanceController* pController : controllers)
    {
        if (pController->Stop(static_cast<int>(std::max<qint64>(0, deadline.remainingTime()))))
            delete pController;
        else
            stopped = false;
    }
    // The ended request threads delete themselves (deleteLater).
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return stopped;
}

void MaintenanceController::SetServer(const QString& rUrl, const QString& rName,
                                      const QString& rSoftwareVersion, const QString& rServiceVersion)
{
    if (rUrl == mpServer->GetUrl())
        return;
    const QString leftUrl = mpServer->GetUrl();
    mpServer = boost::make_shared<ServerConnection>(rUrl, rName, rSoftwareVersion, rServiceVersion);
    AbandonPageRequests(rUrl);
    MovePolls(leftUrl, rUrl);
}

QString MaintenanceController::GetServerUrl() const
{
    return mpServer->GetUrl();
}

QString MaintenanceController::GetServerName() const
{
    return mpServer->GetName();
}

CommandPtr MaintenanceController::ClearLogEntries()
{
    return StartWorker(boost::make_shared<CommandClearLogEntries>(GetServerUrl()));
}

CommandPtr MaintenanceController::CollectLog(const LogEntryList& rEntries)
{
    return StartWorker(boost::make_shared<CommandCollectLog>(GetServerUrl(), rEntries));
}

CommandPtr MaintenanceController::DeleteLog(const QString& rCollectionName)
{
    return StartWorker(boost::make_shared<CommandDeleteLog>(GetServerUrl(), rCollectionName));
}

CommandPtr MaintenanceController::FetchLog(const QString& rTargetFolder, const QString& rCollectionName)
{
    return StartWorker(boost::make_shared<CommandLogFetch>(GetServerUrl(), rTargetFolder, rCollectionName));
}

CommandPtr MaintenanceController::GatherLogs(const QString& rTargetFolder, const LogEntryList& rEntries)
{
    return StartWorker(boost::make_shared<CommandLogGather>(GetServerUrl(), rTargetFolder, rEntries));
}

void MaintenanceController::ListAvailableLogs()
{
    StartRequest(boost::make_shared<CommandListAvailableLogs>(GetServerUrl()), true);
}

void MaintenanceController::ListLogCollections()
{
    StartRequest(boost::make_shared<CommandListLogCollections>(GetServerUrl()), true);
}

void MaintenanceController::QueryMachineInformation()
{
    StartRequest(boost::make_shared<CommandQueryMachineInformation>(GetServerUrl()), true);
}

CommandPtr MaintenanceController::StartWorker(CommandPtr pCommand)
{
    return StartRequest(std::move(pCommand), false);
}

CommandPtr MaintenanceController::StartRequest(CommandPtr pCommand, bool forPages)
{
    const CommandPtr pStarted = pCommand;
    auto* pThread = new QThread;
    const quint64 serial = ++mRequestSerial;
    mRequests.append(Request{serial, QPointer<QThread>(pThread), pCommand, forPages});
    auto* pWorker = new MaintenanceWorker(std::move(pCommand));
    pWorker->moveToThread(pThread);
    connect(pThread, &QThread::started, pWorker, &MaintenanceWorker::SlotDoWork);
    // The thread ends as its command does, not once the GUI thread has
    // come round to it: its thread and descriptors go at once.
    connect(pWorker, &MaintenanceWorker::SigWorkFinished, pThread, &QThread::quit, Qt::DirectConnection);
    connect(pWorker, &MaintenanceWorker::SigWorkFinished, this, &MaintenanceController::SlotCommandFinished);
    connect(pThread, &QThread::finished, pWorker, &QObject::deleteLater);
    connect(pThread, &QThread::finished, pThread, &QObject::deleteLater);
    connect(pThread, &QThread::finished, this, [this, serial] {
        mRequests.erase(std::remove_if(mRequests.begin(), mRequests.end(),
                                       [serial](const Request& rRequest) { return rRequest.mSerial == serial; }),
                        mRequests.end());
        DeleteWhenIdle();
    });
    if (mAbandoned)
    {
        mRequests.last().mAbandoned = forPages;
        mRequests.last().mpCommand->Abort();
    }
    pThread->start(QThread::InheritPriority);
    return pStarted;
}

void MaintenanceController::SlotCommandFinished(joxmaintenance::CommandPtr pCommand)
{
    if (!pCommand)
        return;
    const auto request = std::find_if(mRequests.cbegin(), mRequests.cend(),
                                      [&pCommand](const Request& rRequest) { return rRequest.mpCommand == pCommand; });
    const bool requested = request != mRequests.cend();
    if (requested && request->mAbandoned)
    {
        // Abandoned with its server: its end is nobody's failure.
        LogRecord(7, QStringLiteral("Command: %1 abandoned with its server %2")
                         .arg(pCommand->GetDescription(), pCommand->GetServerUrl()),
                  __LINE__);
        return;
    }
    LogRecord(5, QStringLiteral("Command: %1 processed %2").arg(pCommand->GetDescription()).arg(pCommand->GetState()),
              __LINE__);

    // Once given up, nothing reaches the GUI any more.
    bool current = !mAbandoned && pCommand->GetServerUrl() == mpServer->GetUrl();
    if (requested)
    {
        // The receiver may give the controller up (Abandon deletes it later).
        emit SignalRequestFinished(pCommand);
        current = current && !mAbandoned;
    }
    if (pCommand->GetState() != JoxCore::StateSucceeded) {
        const QString reasons = pCommand->GetMessagesText();
        // A receiver may delete this controller; only the command is used
        // from here on.
        if (current)
            emit SignalCommandHandlingFailed(pCommand);
        LogRecord(3, QStringLiteral("Command Failed. reasons: %1").arg(reasons), __LINE__);
        return;
    }
    if (!current)
        return;

    switch (pCommand->GetCommandType()) {
    case ct_listlogfiles:
        if (const auto pList = boost::dynamic_pointer_cast<CommandListAvailableLogs>(pCommand))
            emit SignalListAvailableLogsFinished(pList->GetLogEntries());
        break;
    case ct_listcollections:
        if (const auto pList = boost::dynamic_pointer_cast<CommandListLogCollections>(pCommand)) {
            emit SignalListLogConnectionsFinished(pList->GetLogCollections());
            emit SignalCollectionsListed(pCommand->GetSerial());
        }
        break;
    case ct_logstatus:
        PublishStatusList(pCommand);
        break;
    case ct_querymachinfo: {
        const auto pInfo = boost::dynamic_pointer_cast<CommandQueryMachineInformation>(pCommand);
        if (!pInfo)
            break;
        const QString name = pInfo->GetName();
        const QString serviceVersion = pInfo->GetServiceVersion();
        LogRecord(5, QStringLiteral("Got Server Infomation successfully Name: %1 Server Version %2")
                         .arg(name, serviceVersion),
                  __LINE__);
        if (serviceVersion != QLatin1String(kClientServiceVersion)) {
            // The box runs a nested event loop, in which the controller may be
            // deleted or pointed at another server.
            const QPointer<MaintenanceController> pSelf(this);
            JoxGui::Messagebox::Warning(
                nullptr, QStringLiteral("Server Version Mismatch"),
                QStringLiteral("Server and Client Version differ. Server: %1 Client: %2 ")
                    .arg(serviceVersion, QLatin1String(kClientServiceVersion)),
                QStringLiteral("OK"), QString(), QString(), 0, -1,
                JoxGui::Messagebox::CheckBoxDontShowAgain);
            // Given up meanwhile: no server is polled any more.
            if (pSelf.isNull() || mAbandoned)
                return;
        }
        AddPolledServer(pCommand->GetServerUrl());
        if (pCommand->GetServerUrl() == mpServer->GetUrl())
            mpServer->SetName(name);
        break;
    }
    default:
        break;
    }
}

void MaintenanceController::PublishStatusList(const CommandPtr& rCommand)
{
    const auto pStatusCommand = boost::dynamic_pointer_cast<CommandLogStatus>(rCommand);
    if (!pStatusCommand)
        return;
    QList<CommandStatusPtr> statuses;
    const LockedCommandStatusList locked = LockForRead(pStatusCommand->GetStatusList());
    if (const CommandStatusList* pList = locked.Get())
        for (const auto& rEntry : *pList)
            if (rEntry.second)
                statuses.append(boost::make_shared<CommandStatus>(*rEntry.second));
    // Still under the read lock, as the list is read.
    emit SignalCommandStatusListUpdate(rCommand->GetServerUrl(), statuses);
}

} // namespace joxmaintenance
