#include <gui/WorkspaceWidget.h>

#include <gui/CreateLogWidget.h>
#include <gui/ListLogStatusWidget.h>
#include <gui/ListLogWidget.h>
#include <gui/StatusArea.h>

#include <joxgui/Messagebox.h>
#include <joxgui/StylableTabWidget.h>
#include <joxlog/JoxLog.h>
#include <joxmaintenance/CommandDeleteLog.h>
#include <joxmaintenance/CommandLogFetch.h>
#include <joxmaintenance/CommandLogGather.h>
#include <joxmaintenance/CommandType.h>
#include <joxmaintenance/MaintenanceController.h>
#include <joxwsstreaming/CollectionName.h>
#include <styles/StyleMetrics.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <iterator>

namespace joxmaintenance {

namespace {

// The line defaults to the caller's, so the record names the line that logs.
void LogMaintenance(const QString& rText, const char* pFunction, int line = __builtin_LINE())
{
    JoxCore::Log(3, 0, "Maintenance", rText.toUtf8().constData(), __FILE__, line, pFunction);
}

// What the operator is shown on the pages' notes and the status line, for
// the program's log.
void LogShown(const QString& rText, int line = __builtin_LINE())
{
    JoxCore::Log(5, 0, "Maintenance", rText.toUtf8().constData(), __FILE__, line, "joxmaintenance::WorkspaceWidget");
}

QString PendingDeleteKey(const QString& rServerUrl, const QString& rName)
{
    return rServerUrl + QLatin1Char('\n') + rName;
}

} // namespace

WorkspaceWidget::WorkspaceWidget(QWidget* pParent)
    : QWidget(pParent)
    , mpLayout(new QVBoxLayout(this))
    , mpServerLabel(new QLabel(this))
    , mpStatusArea(new StatusArea(this))
    , mpTabWidget(new JoxGui::StylableTabWidget(this))
    , mpCreateLogWidget(nullptr)
    , mpPromptLabel(nullptr)
    , mpCreateStack(nullptr)
    , mpListLogWidget(nullptr)
    , mpStatusWidget(nullptr)
    , mpController(nullptr)
    , mLastFolder(QDir::homePath())
{
    QFrame* pLine = new QFrame(this);
    pLine->setFixedHeight(2);
    pLine->setObjectName(QStringLiteral("HorizontalLine"));

    mpLayout->setContentsMargins(0, 0, 0, 0);
    mpLayout->addWidget(mpTabWidget);
    mpLayout->addWidget(pLine);
    mpLayout->addWidget(mpServerLabel);
    mpServerLabel->setContentsMargins(5, 0, 0, 0);
    mpLayout->addWidget(mpStatusArea);

    mpTabWidget->SetTabWidth(UnitsWidth(5));

    mpCreateStack = new QStackedWidget(mpTabWidget);
    mpPromptLabel = new QLabel(QStringLiteral("Choose a server to start log collecting."), mpCreateStack);
    mpPromptLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    mpCreateLogWidget = new CreateLogWidget(mpCreateStack);
    mpCreateStack->addWidget(mpPromptLabel);
    mpCreateStack->addWidget(mpCreateLogWidget);
    mpCreateStack->setCurrentWidget(mpPromptLabel);
    mpTabWidget->addTab(mpCreateStack, QStringLiteral("Create log package"));

    mpListLogWidget = new ListLogWidget(mpTabWidget);
    mpTabWidget->addTab(mpListLogWidget, QStringLiteral("List log packages"));
    mpStatusWidget = new ListLogStatusWidget(mpTabWidget);
    mpTabWidget->addTab(mpStatusWidget, QStringLiteral("Track running tasks"));
}

WorkspaceWidget::~WorkspaceWidget()
{
    DropController();
}

void WorkspaceWidget::DisconnectAll()
{
    // The ends of the operator's requests keep coming, whichever server is
    // selected.
    if (mpController)
    {
        disconnect(mpController, &MaintenanceController::SignalListAvailableLogsFinished, this, nullptr);
        disconnect(mpController, &MaintenanceController::SignalListLogConnectionsFinished, this, nullptr);
        disconnect(mpController, &MaintenanceController::SignalCollectionsListed, this, nullptr);
        disconnect(mpController, &MaintenanceController::SignalCommandStatusListUpdate, this, nullptr);
        disconnect(mpController, &MaintenanceController::SignalCommandHandlingFailed, this, nullptr);
    }
    disconnect(mpCreateLogWidget, nullptr, nullptr, nullptr);
    disconnect(mpListLogWidget, nullptr, nullptr, nullptr);
}

void WorkspaceWidget::ConnectAll()
{
    connect(mpController, &MaintenanceController::SignalListAvailableLogsFinished, this,
            &WorkspaceWidget::SlotUpdateCreateLogWidget);
    connect(mpController, &MaintenanceController::SignalListLogConnectionsFinished, this,
            &WorkspaceWidget::SlotUpdateListLogWidget);
    connect(mpController, &MaintenanceController::SignalCollectionsListed, this,
            &WorkspaceWidget::SlotCollectionsListed);
    connect(mpController, &MaintenanceController::SignalCommandStatusListUpdate, this,
            &WorkspaceWidget::SlotUpdateCommandStatusWidget);
    connect(mpController, &MaintenanceController::SignalCommandHandlingFailed, this,
            &WorkspaceWidget::SlotCommandHandlingFailed);
    connect(mpController, &MaintenanceController::SignalRequestFinished, this, &WorkspaceWidget::SlotRequestFinished,
            Qt::UniqueConnection);
    connect(mpCreateLogWidget, &CreateLogWidget::SignalGather, this, &WorkspaceWidget::SlotGather);
    connect(mpCreateLogWidget, &CreateLogWidget::SignalCreate, this, &WorkspaceWidget::SlotLogCollect);
    connect(mpListLogWidget, &ListLogWidget::SignalFetch, this, &WorkspaceWidget::SlotFetch);
    connect(mpListLogWidget, &ListLogWidget::SignalDelete, this, &WorkspaceWidget::SlotDelete);
    connect(mpListLogWidget, &ListLogWidget::SignalClear, this, &WorkspaceWidget::SlotClearLogEntries);
}

void WorkspaceWidget::DropController()
{
    // Never waits for the network: the controller ends its polls and its
    // requests for the pages, lets the operator's works run to their end
    // (their ends still reach SlotRequestFinished, so they stay on the status
    // line until then) and deletes itself when its threads are done.
    if (mpController)
        mpController->Abandon();
    mpController = nullptr;
    mUnqueriedUrl.clear();
}

void WorkspaceWidget::SlotActiveUrlChanged(const QList<JoxWsdd::WebServiceInfoPtr>& rServices)
{
    if (rServices.isEmpty())
    {
        QApplication::restoreOverrideCursor();
        DisconnectAll();
        mpListLogWidget->SetCollections(QStringList());
        mListingFailureShown = false;
        if (mpController)
            mpStatusWidget->UpdateStatus(mpController->GetServerUrl(), QList<CommandStatusPtr>());
        mpStatusWidget->ClearNote();
        DropController();
        mpCreateStack->setCurrentWidget(mpPromptLabel);
        SetServerLabel(QString(), QString());
        return;
    }
    if (rServices.size() > 1 || !rServices.first())
    {
        mpCreateStack->setCurrentWidget(mpPromptLabel);
        return;
    }

    const JoxWsdd::WebServiceInfo& rService = *rServices.first();
    const QStringList matching = rService.GetMatchingUrls();
    QString url;
    if (!matching.isEmpty())
    {
        url = matching.first();
    }
    else
    {
        url = rService.GetUrl();
        LogMaintenance(QStringLiteral("Could not determine common subnet IP with server use fallback: %1").arg(url),
                       "joxmaintenance::WorkspaceWidget::SlotActiveUrlChanged");
    }
    const QString name = rService.GetDisplayName();
    const QString softwareVersion = QString::fromStdString(rService.GetSoftwareVersion());
    const QString serviceVersion = QString::fromStdString(rService.GetServiceVersion());
    if (!url.startsWith(QStringLiteral("http://")))
        url.prepend(QStringLiteral("http://"));

    if (mpController && mpController->GetServerUrl() == url)
    {
        // Selected again after its information query failed: it is queried
        // again, and polled once that succeeds.
        if (mUnqueriedUrl != url)
            return;
        mUnqueriedUrl.clear();
        const QString server = DescribeServer(url);
        mpStatusWidget->SetWaiting(server);
        LogShown(QStringLiteral("Querying server %1 again.").arg(server));
        mpController->QueryMachineInformation();
        return;
    }
    mUnqueriedUrl.clear();
    if (mpController)
    {
        DisconnectAll();
        mpListLogWidget->SetCollections(QStringList());
        mListingFailureShown = false;
        mpStatusWidget->UpdateStatus(mpController->GetServerUrl(), QList<CommandStatusPtr>());
        SetServerLabel(name, url);
    }

    QApplication::restoreOverrideCursor();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    try
    {
        if (mpController)
            mpController->SetServer(url, name, softwareVersion, serviceVersion);
        else
            mpController = new MaintenanceController(url, name, softwareVersion, serviceVersion);
    }
    catch (const std::exception& rError)
    {
        LogMaintenance(QStringLiteral("Could not connect to server with IP %1 - exception: %2")
                           .arg(url, QString::fromLocal8Bit(rError.what())),
                       "joxmaintenance::WorkspaceWidget::SlotActiveUrlChanged");
        JoxGui::Messagebox::Warning(this, QStringLiteral("Connection Error"),
                                    QStringLiteral("Could not determine server for chosen URL."), QStringLiteral("OK"));
        DropController();
        mpCreateStack->setCurrentWidget(mpPromptLabel);
        QApplication::restoreOverrideCursor();
        SetServerLabel(QString(), QString());
        // No server is current: none stays highlighted.
        emit SignalServerDropped();
        return;
    }

    // The name the Servers list shows, from now on wherever the server is
    // named, also once another one is selected.
    mShownName = name;
    mShownNames.insert(url, name);
    SetServerLabel(name, url);
    mpCreateStack->setCurrentWidget(mpCreateLogWidget);
    ConnectAll();
    // Nothing shown is never an answer: the pages wait for the server.
    const QString server = name.isEmpty() ? url : name + QStringLiteral(" (") + url + QStringLiteral(")");
    mpListLogWidget->SetWaiting(server);
    mpStatusWidget->SetWaiting(server);
    LogShown(QStringLiteral("Waiting for server %1 to list its log packages and report its jobs.").arg(server));
    mpController->QueryMachineInformation();
    mpController->ListAvailableLogs();
    mpController->ListLogCollections();
}

void WorkspaceWidget::SlotServerLeftList()
{
    if (!mpController)
        return;
    const QString url = mpController->GetServerUrl();
    const QString server = DescribeServer(url);
    SlotActiveUrlChanged(QList<JoxWsdd::WebServiceInfoPtr>());
    mpStatusArea->ShowServerLeft(
        url, QStringLiteral("Server %1 is no longer in the Servers list and was left; select it there when it is "
                            "listed again.")
                 .arg(server));
}

QString WorkspaceWidget::ChooseFolder()
{
    return QFileDialog::getExistingDirectory(this, tr("Save log file into"), mLastFolder, QFileDialog::ShowDirsOnly);
}

QString WorkspaceWidget::ChooseTargetFolder(const QString& rServerUrl, const QString& rTitle,
                                            const QString& rNothingDone)
{
    // Boxes shown before may have run an event loop, and so does the
    // dialog: the server may be left meanwhile, or another one selected.
    // The work goes to the server it was chosen for, or nowhere.
    if (mpController && mpController->GetServerUrl() == rServerUrl)
    {
        const QString folder = ChooseFolder();
        if (folder.isEmpty())
            return QString();
        mLastFolder = folder;
        if (mpController && mpController->GetServerUrl() == rServerUrl)
            return folder;
    }
    SayServerGone(rServerUrl, rTitle, rNothingDone);
    return QString();
}

void WorkspaceWidget::SayServerGone(const QString& rServerUrl, const QString& rTitle, const QString& rNothingDone)
{
    const QString server = DescribeServer(rServerUrl);
    QString text;
    if (mpController)
    {
        text = QStringLiteral("Server %1 is no longer the selected server: another one was selected meanwhile.")
                   .arg(server);
    }
    else
    {
        // Why it was left, as the status line says it.
        text = mpStatusArea->LeftNote(rServerUrl);
        if (text.isEmpty())
            text = QStringLiteral("Server %1 was left meanwhile.").arg(server);
    }
    text += QLatin1Char('\n') + rNothingDone;
    LogMaintenance(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')),
                   "joxmaintenance::WorkspaceWidget::SayServerGone");
    JoxGui::Messagebox::Warning(this, rTitle, text, QStringLiteral("OK"));
}

void WorkspaceWidget::SlotGather()
{
    if (!mpController)
        return;
    const QString url = mpController->GetServerUrl();
    if (mpStatusArea->FindWork(ct_loggather, url, QString()))
    {
        // The server would build a second collection.
        JoxGui::Messagebox::Information(this, QStringLiteral("Already Running"),
                                        QStringLiteral("Logs are already being gathered from server %1.\n"
                                                       "Wait until that has ended; the status line shows it.")
                                            .arg(DescribeServer(url)),
                                        QStringLiteral("OK"));
        return;
    }
    const QString folder =
        ChooseTargetFolder(url, QStringLiteral("Gathering Error"), QStringLiteral("Nothing was gathered."));
    if (folder.isEmpty())
        return;
    AddRunningWork(mpController->GatherLogs(folder, mpCreateLogWidget->GetLogEntryList()),
                   QStringLiteral("Gathering logs from server %1 into \"%2\"").arg(DescribeServer(url), folder));
}

void WorkspaceWidget::SlotFetch(const QStringList& rNames)
{
    using joxwsstreaming::CollectionName;
    // The server the names were chosen on: the boxes below run event loops.
    const QString url = mpController ? mpController->GetServerUrl() : QString();
    QStringList toFetch;
    QStringList running;
    QStringList refused;
    for (const QString& rName : rNames)
    {
        QString refusal;
        if (rName.isEmpty())
            LogMaintenance(QStringLiteral("logfile with empty name requested. Ignore."),
                           "joxmaintenance::WorkspaceWidget::SlotFetch");
        // Refused before anything is sent: the download could store no file.
        else if (CollectionName::FileName(CollectionName::ListedBytes(rName), &refusal).isEmpty())
            refused.append(CollectionName::Shown(rName) + QLatin1Char(' ') + refusal);
        else if (!url.isEmpty() && mpStatusArea->FindWork(ct_fetchlog, url, rName))
            running.append(CollectionName::Shown(rName));
        else
            toFetch.append(rName);
    }
    if (!refused.isEmpty())
    {
        LogMaintenance(QStringLiteral("Refused to download: ") + refused.join(QStringLiteral("; ")),
                       "joxmaintenance::WorkspaceWidget::SlotFetch");
        JoxGui::Messagebox::Warning(this, QStringLiteral("Download Error"),
                                    QStringLiteral("These log packages are not downloaded, as their names cannot be "
                                                   "used for a file on this computer:\n%1")
                                        .arg(refused.join(QLatin1Char('\n'))),
                                    QStringLiteral("OK"));
    }
    if (!running.isEmpty())
    {
        JoxGui::Messagebox::Information(this, QStringLiteral("Already Running"),
                                        QStringLiteral("These log packages are already being downloaded from server %1:\n%2")
                                            .arg(DescribeServer(url), running.join(QLatin1Char('\n'))),
                                        QStringLiteral("OK"));
    }
    if (toFetch.isEmpty() || url.isEmpty())
        return;
    const QString folder =
        ChooseTargetFolder(url, QStringLiteral("Download Error"), QStringLiteral("Nothing was downloaded."));
    if (folder.isEmpty())
        return;
    QStringList existing;
    for (const QString& rName : toFetch)
    {
        // The file the download would store: the listed name read as the
        // stored one is.
        const QFileInfo file(folder + QDir::separator() +
                             CollectionName::FileName(CollectionName::ListedBytes(rName)));
        if (file.exists() || file.isSymLink())
        {
            existing.append(CollectionName::Shown(rName));
            continue;
        }
        AddRunningWork(mpController->FetchLog(folder, rName),
                       QStringLiteral("Downloading log package \"%1\" from server %2 into \"%3\"")
                           .arg(CollectionName::Shown(rName), DescribeServer(url), folder));
    }
    if (existing.isEmpty())
        return;
    QString text = QStringLiteral("The following files already exists locally.");
    for (const QString& rName : existing)
        text += QStringLiteral("\n") + rName;
    JoxGui::Messagebox::Warning(this, QStringLiteral("Download Error"), text, QStringLiteral("OK"));
}

void WorkspaceWidget::SlotDelete(const QString& rName)
{
    if (!mpController)
        return;
    if (rName.isEmpty())
    {
        LogMaintenance(QStringLiteral("delete logfile with empty name requested. Ignore."),
                       "joxmaintenance::WorkspaceWidget::SlotDelete");
        return;
    }
    // A delete already sent is not sent again: the second would fail with
    // "No such collection" for a delete that worked.
    const QString key = PendingDeleteKey(mpController->GetServerUrl(), rName);
    if (mPendingDeletes.contains(key))
    {
        LogMaintenance(QStringLiteral("delete of log package %1 requested again before a listing showed the last "
                                      "one's result. Ignore.")
                           .arg(rName),
                       "joxmaintenance::WorkspaceWidget::SlotDelete");
        return;
    }
    mPendingDeletes.insert(key, 0);
    mpController->DeleteLog(rName);
}

void WorkspaceWidget::SlotClearLogEntries()
{
    if (mpController)
        mpController->ClearLogEntries();
}

void WorkspaceWidget::SlotLogCollect()
{
    if (mpController)
        mpController->CollectLog(mpCreateLogWidget->GetLogEntryList());
}

void WorkspaceWidget::SlotUpdateCreateLogWidget(const LogEntryList& rEntries)
{
    if (mpController)
    {
        SetServerLabel(mShownName, mpController->GetServerUrl());
        mpStatusArea->ServerAnswered(mpController->GetServerUrl());
    }
    mpCreateLogWidget->SetLogEntries(rEntries);
    QApplication::restoreOverrideCursor();
}

void WorkspaceWidget::SlotUpdateListLogWidget(const QStringList& rNames)
{
    mListingFailureShown = false;
    mpListLogWidget->SetCollections(rNames);
}

void WorkspaceWidget::SlotCollectionsListed(quint64 requestSerial)
{
    // The first listing requested after a delete has ended shows what the
    // server did; from then on the name may be deleted again. One requested
    // before (a poll in flight) may still show it.
    if (!mpController)
        return;
    const QString prefix = PendingDeleteKey(mpController->GetServerUrl(), QString());
    for (auto pending = mPendingDeletes.begin(); pending != mPendingDeletes.end();)
    {
        const bool seen = pending.value() != 0 && pending.value() < requestSerial && pending.key().startsWith(prefix);
        pending = seen ? mPendingDeletes.erase(pending) : std::next(pending);
    }
}

void WorkspaceWidget::SlotUpdateCommandStatusWidget(const QString& rServerUrl,
                                                    const QList<CommandStatusPtr>& rStatuses)
{
    mpStatusWidget->UpdateStatus(rServerUrl, rStatuses);
    if (!mpController || mpController->GetServerUrl() != rServerUrl || !mpStatusWidget->HasNote())
        return;
    mpStatusWidget->ClearNote();
    LogShown(QStringLiteral("Job status page: the jobs of server %1 are shown.").arg(DescribeServer(rServerUrl)));
}

void WorkspaceWidget::SlotCommandHandlingFailed(const CommandPtr& rCommand)
{
    // The operator's works are told of when they end, whichever server is
    // selected (SlotRequestFinished).
    if (!rCommand || IsOperatorsWork(rCommand->GetCommandType()))
        return;
    const QString server = DescribeServer(rCommand->GetServerUrl());
    const QString reason = ReasonLine(*rCommand);
    if (rCommand->GetCommandType() == ct_listlogfiles)
    {
        // The server answered or not: the reason says which.
        ShowFailureBox(QStringLiteral("Connection Error"),
                       QWidget::tr("Could not request log list from server: %1.").arg(rCommand->GetServerUrl()) +
                           QLatin1Char('\n') + FailureDetails(*rCommand),
                       QStringLiteral("ConnectionErrorBox"), rCommand->GetServerUrl());
        SlotActiveUrlChanged(QList<JoxWsdd::WebServiceInfoPtr>());
        // The highlight goes with the server, and the area says why, below
        // the works that still run (leaving a server does not stop them).
        mpStatusArea->ShowServerLeft(rCommand->GetServerUrl(),
                                     QStringLiteral("Server %1 was left: its log sources could not be listed. %2 "
                                                    "Select it in the Servers list to try again.")
                                         .arg(server, reason));
        emit SignalServerDropped();
        return;
    }
    if (rCommand->GetCommandType() == ct_querymachinfo)
    {
        // The server is polled only after this query has succeeded.
        mUnqueriedUrl = rCommand->GetServerUrl();
        mpStatusWidget->SetNotQueried(server, reason);
        LogShown(QStringLiteral("Job status page: server %1 could not be queried: %2").arg(server, reason));
        return;
    }
    if (rCommand->GetCommandType() == ct_logstatus)
    {
        // Polled: the status page says it as long as it lasts.
        mpStatusWidget->SetStatusFailed(server, reason);
        LogShown(QStringLiteral("Job status page: the jobs of server %1 could not be queried: %2").arg(server, reason));
        return;
    }
    if (rCommand->GetCommandType() != ct_listcollections)
        return;
    mpListLogWidget->SetListingFailed(server, reason);
    // The listing is polled: once told, the operator is not told again
    // until a listing has succeeded; the list page keeps saying it.
    if (mListingFailureShown)
        return;
    mListingFailureShown = true;
    ShowRequestFailure(*rCommand);
}

void WorkspaceWidget::SlotRequestFinished(const CommandPtr& rCommand)
{
    if (!rCommand)
        return;
    const bool succeeded = rCommand->GetState() == JoxCore::StateSucceeded;
    const auto* pDelete = dynamic_cast<const CommandDeleteLog*>(rCommand.get());
    if (rCommand->GetCommandType() == ct_deletelog && pDelete)
    {
        // A failed one may be tried again at once; a successful one once a
        // listing requested from now on has shown its result.
        const QString key = PendingDeleteKey(rCommand->GetServerUrl(), pDelete->GetCollectionName());
        if (!succeeded)
            mPendingDeletes.remove(key);
        else if (mPendingDeletes.contains(key))
            mPendingDeletes[key] = Command::LatestSerial();
    }

    mpStatusArea->EndWork(rCommand);
    // Whichever server is selected now, and whatever box is open.
    if (!succeeded && IsOperatorsWork(rCommand->GetCommandType()))
        ShowRequestFailure(*rCommand);
}

QString WorkspaceWidget::DescribeServer(const QString& rUrl) const
{
    const QString name = mShownNames.value(rUrl);
    if (!name.isEmpty())
        return name + QStringLiteral(" (") + rUrl + QStringLiteral(")");
    return rUrl;
}

bool WorkspaceWidget::IsOperatorsWork(int commandType)
{
    return commandType == ct_loggather || commandType == ct_fetchlog || commandType == ct_deletelog ||
           commandType == ct_cleanlogs || commandType == ct_collectlog;
}

QString WorkspaceWidget::ReasonLine(const Command& rCommand)
{
    const QString reason = rCommand.GetFailureReason().simplified();
    return reason.isEmpty() ? QStringLiteral("No details; the program's log has more.") : reason;
}

QString WorkspaceWidget::FailureDetails(const Command& rCommand)
{
    const QString details = rCommand.GetErrorDetails();
    return details.isEmpty() ? ReasonLine(rCommand) : details;
}

void WorkspaceWidget::ShowRequestFailure(const Command& rCommand)
{
    const QString operation = FailedOperationText(rCommand);
    if (operation.isEmpty())
        return;
    const QString reason = FailureDetails(rCommand);
    // A failure on this computer (a local file or folder) is not the server's.
    const QString text = rCommand.GetLocalFault().isEmpty()
                             ? QStringLiteral("%1 failed on server %2.\nReason: %3")
                                   .arg(operation, DescribeServer(rCommand.GetServerUrl()), reason)
                             : QStringLiteral("%1 failed on this computer.\nReason: %2").arg(operation, reason);
    // The server's name may arrive between two failures: the URL tells
    // repeats apart.
    ShowFailureBox(QStringLiteral("Request Failed"), text, QStringLiteral("RequestFailedBox"), rCommand.GetServerUrl());
}

void WorkspaceWidget::AddRunningWork(const CommandPtr& rCommand, const QString& rText)
{
    if (mpController)
        mpStatusArea->AddWork(rCommand, rText, mpController->GetServerUrl(), mShownName);
}

QString WorkspaceWidget::FailedOperationText(const Command& rCommand)
{
    switch (rCommand.GetCommandType())
    {
    case ct_loggather:
        if (const auto* pGather = dynamic_cast<const CommandLogGather*>(&rCommand))
            return QStringLiteral("Gathering logs into \"%1\"").arg(pGather->GetTargetFolder());
        break;
    case ct_fetchlog:
        if (const auto* pFetch = dynamic_cast<const CommandLogFetch*>(&rCommand))
            return QStringLiteral("Downloading log package \"%1\"")
                .arg(joxwsstreaming::CollectionName::Shown(pFetch->GetCollectionName()));
        break;
    case ct_deletelog:
        if (const auto* pDelete = dynamic_cast<const CommandDeleteLog*>(&rCommand))
            return QStringLiteral("Deleting log package \"%1\"")
                .arg(joxwsstreaming::CollectionName::Shown(pDelete->GetCollectionName()));
        break;
    case ct_cleanlogs:
        return QStringLiteral("Deleting all log packages");
    case ct_listcollections:
        return QStringLiteral("Listing the log packages");
    case ct_collectlog:
        return QStringLiteral("Creating a log package");
    default:
        break;
    }
    // The server information and the job status are not the operator's
    // requests: their failures are logged only.
    return QString();
}

void WorkspaceWidget::ShowFailureBox(const QString& rTitle, const QString& rText, const QString& rObjectName,
                                     const QString& rServerUrl)
{
    for (auto open = mOpenFailureBoxes.begin(); open != mOpenFailureBoxes.end();)
        open = open.value().isNull() ? mOpenFailureBoxes.erase(open) : std::next(open);
    if (JoxGui::Messagebox* pOpen = mOpenFailureBoxes.value(rServerUrl))
    {
        // One outage, one box: what else failed is added to it, each
        // message once.
        pOpen->AppendPlainText(rText);
        return;
    }
    JoxGui::Messagebox* pBox = new JoxGui::Messagebox(
        rTitle, rText, JoxGui::Messagebox::IconWarning, JoxGui::Messagebox::ButtonOk, JoxGui::Messagebox::ButtonNone,
        JoxGui::Messagebox::ButtonNone, this, Qt::WindowFlags(0x100), JoxGui::Messagebox::CheckBoxNone);
    pBox->setAttribute(Qt::WA_DeleteOnClose);
    pBox->setObjectName(rObjectName);
    mOpenFailureBoxes.insert(rServerUrl, QPointer<JoxGui::Messagebox>(pBox));
    pBox->show();
}

void WorkspaceWidget::SetServerLabel(const QString& rName, const QString& rUrl)
{
    QString text = QStringLiteral("Current server: ");
    if (!rUrl.isEmpty())
    {
        QString shortUrl = rUrl;
        shortUrl.remove(QStringLiteral("http://"));
        shortUrl.remove(QStringLiteral(":8070"));
        text += rName.isEmpty() ? shortUrl : rName + QStringLiteral(" (") + shortUrl + QStringLiteral(")");
    }
    else
    {
        text += rName;
    }
    mpServerLabel->setText(text);
}

} // namespace joxmaintenance
