#include <gui/WorkspaceWidget.h>

#include <gui/CreateLogWidget.h>
#include <gui/ListLogStatusWidget.h>
#include <gui/ListLogWidget.h>

#include <joxgui/Messagebox.h>
#include <joxgui/StylableTabWidget.h>
#include <joxlog/JoxLog.h>
#include <joxmaintenance/CommandType.h>
#include <joxmaintenance/MaintenanceController.h>
#include <joxwsstreaming/DownloadTarget.h>
#include <styles/StyleMetrics.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <exception>

namespace joxmaintenance {

namespace {

void LogMaintenance(const QString& rText, const char* pFunction)
{
    JoxCore::Log(3, 0, "Maintenance", rText.toUtf8().constData(), __FILE__, __LINE__, pFunction);
}

} // namespace

WorkspaceWidget::WorkspaceWidget(QWidget* pParent)
    : QWidget(pParent)
    , mpLayout(new QVBoxLayout(this))
    , mpServerLabel(new QLabel(this))
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
    delete mpController;
}

void WorkspaceWidget::DisconnectAll()
{
    if (mpController)
        disconnect(mpController, nullptr, nullptr, nullptr);
    disconnect(mpCreateLogWidget, nullptr, nullptr, nullptr);
    disconnect(mpListLogWidget, nullptr, nullptr, nullptr);
}

void WorkspaceWidget::ConnectAll()
{
    connect(mpController, &MaintenanceController::SignalListAvailableLogsFinished, this,
            &WorkspaceWidget::SlotUpdateCreateLogWidget);
    connect(mpController, &MaintenanceController::SignalListLogConnectionsFinished, this,
            &WorkspaceWidget::SlotUpdateListLogWidget);
    connect(mpController, &MaintenanceController::SignalCommandStatusListUpdate, this,
            &WorkspaceWidget::SlotUpdateCommandStatusWidget);
    connect(mpController, &MaintenanceController::SignalCommandHandlingFailed, this,
            &WorkspaceWidget::SlotCommandHandlingFailed);
    connect(mpCreateLogWidget, &CreateLogWidget::SignalGather, this, &WorkspaceWidget::SlotGather);
    connect(mpCreateLogWidget, &CreateLogWidget::SignalCreate, this, &WorkspaceWidget::SlotLogCollect);
    connect(mpListLogWidget, &ListLogWidget::SignalFetch, this, &WorkspaceWidget::SlotFetch);
    connect(mpListLogWidget, &ListLogWidget::SignalDelete, this, &WorkspaceWidget::SlotDelete);
    connect(mpListLogWidget, &ListLogWidget::SignalClear, this, &WorkspaceWidget::SlotClearLogEntries);
}

void WorkspaceWidget::DropController()
{
    delete mpController;
    mpController = nullptr;
}

void WorkspaceWidget::SlotActiveUrlChanged(const QList<JoxWsdd::WebServiceInfoPtr>& rServices)
{
    if (rServices.isEmpty())
    {
        QApplication::restoreOverrideCursor();
        DisconnectAll();
        mpListLogWidget->SetCollections(QStringList());
        if (mpController)
            mpStatusWidget->UpdateStatus(mpController->GetServerUrl(), QList<CommandStatusPtr>());
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
        return;
    if (mpController)
    {
        DisconnectAll();
        mpListLogWidget->SetCollections(QStringList());
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
        return;
    }

    mpCreateStack->setCurrentWidget(mpCreateLogWidget);
    ConnectAll();
    mpController->QueryMachineInformation();
    mpController->ListAvailableLogs();
    mpController->ListLogCollections();
}

QString WorkspaceWidget::ChooseFolder()
{
    return QFileDialog::getExistingDirectory(this, tr("Save log file into"), mLastFolder, QFileDialog::ShowDirsOnly);
}

QString WorkspaceWidget::ChooseTargetFolder()
{
    if (!mpController)
        return QString();
    const QString folder = ChooseFolder();
    // The dialog runs an event loop: the controller may be gone afterwards.
    if (folder.isEmpty() || !mpController)
        return QString();
    mLastFolder = folder;
    return folder;
}

void WorkspaceWidget::SlotGather()
{
    const QString folder = ChooseTargetFolder();
    if (folder.isEmpty())
        return;
    mpController->GatherLogs(folder, mpCreateLogWidget->GetLogEntryList());
}

void WorkspaceWidget::SlotFetch(const QStringList& rNames)
{
    const QString folder = ChooseTargetFolder();
    if (folder.isEmpty())
        return;
    QStringList existing;
    for (const QString& rName : rNames)
    {
        if (rName.isEmpty())
        {
            LogMaintenance(QStringLiteral("logfile with empty name requested. Ignore."),
                           "joxmaintenance::WorkspaceWidget::SlotFetch");
            continue;
        }
        // The name the download will write: the listed name's last component.
        const std::string confined = joxwsstreaming::DownloadTarget::SafeFileName(rName.toLatin1().toStdString());
        if (!confined.empty() &&
            QFileInfo::exists(folder + QDir::separator() + QString::fromLatin1(confined.data(), static_cast<int>(confined.size()))))
        {
            existing.append(rName);
            continue;
        }
        mpController->FetchLog(folder, rName);
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
        SetServerLabel(mpController->GetServerName(), mpController->GetServerUrl());
    mpCreateLogWidget->SetLogEntries(rEntries);
    QApplication::restoreOverrideCursor();
}

void WorkspaceWidget::SlotUpdateListLogWidget(const QStringList& rNames)
{
    mpListLogWidget->SetCollections(rNames);
}

void WorkspaceWidget::SlotUpdateCommandStatusWidget(const QString& rServerUrl,
                                                    const QList<CommandStatusPtr>& rStatuses)
{
    mpStatusWidget->UpdateStatus(rServerUrl, rStatuses);
}

void WorkspaceWidget::SlotCommandHandlingFailed(const CommandPtr& rCommand)
{
    if (!rCommand || rCommand->GetCommandType() != ct_listlogfiles)
        return;
    JoxGui::Messagebox* pBox = new JoxGui::Messagebox(
        QStringLiteral("Connection Error"),
        QWidget::tr("Could not request log list from server: %1.\nNo connection to server available.")
            .arg(rCommand->GetServerUrl()),
        JoxGui::Messagebox::IconWarning, JoxGui::Messagebox::ButtonOk, JoxGui::Messagebox::ButtonNone,
        JoxGui::Messagebox::ButtonNone, this, Qt::WindowFlags(0x100), JoxGui::Messagebox::CheckBoxNone);
    pBox->setAttribute(Qt::WA_DeleteOnClose);
    pBox->setObjectName(QStringLiteral("ConnectionErrorBox"));
    pBox->show();
    SlotActiveUrlChanged(QList<JoxWsdd::WebServiceInfoPtr>());
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
