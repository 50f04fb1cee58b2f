#include "MainWindow.h"

#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>
#include <clientview/WsddConnectionWidget.h>
#include <clientview/WsddConnectionView.h>
#include <gui/InfoWidget.h>
#include <gui/WorkspaceWidget.h>
#include <styles/StyleMetrics.h>

#include <QHBoxLayout>
#include <QKeyEvent>

namespace joxmaintenance {

namespace {

const QString kConfigurationName = QStringLiteral("Tandril");
const int kServersPanelWidth = 270;

} // namespace

MainWindow::MainWindow(const QStringList& rLocalAddresses, QWidget* pParent)
    : QMainWindow(pParent, Qt::WindowFlags())
    , mpServersPanel(nullptr)
    , mpWorkspace(nullptr)
{
    setMinimumWidth(1200);
    setMinimumHeight(600);
    setWindowTitle(QStringLiteral("Tandril"));

    mpWorkspace = new WorkspaceWidget(this);
    mpServersPanel = new JoxWsdd::WsddConnectionWidget(rLocalAddresses, tr("Servers"), this, QStringLiteral("MACHINE"),
                                                       kConfigurationName);
    mpServersPanel->setFixedWidth(kServersPanelWidth);

    JoxWsdd::ConnectionController* pController = JoxWsdd::ConnectionController::Instance();
    pController->SetConfigurationName(kConfigurationName);
    const JoxWsdd::ConnectionModel::ServiceTypeList maintenance = {JoxWsdd::WebServiceInfo::ServiceTypeMaintenance};
    pController->GetModel()->SetDragTypes(maintenance);
    pController->GetModel()->SetRelevantTypes(maintenance);
    // The first refresh of the discovery view; the settings above come first.
    mpServersPanel->SetModel(pController->GetModel(), 1, true);

    connect(mpServersPanel, &JoxWsdd::WsddConnectionWidget::SignalSelectionChanged, mpWorkspace,
            &WorkspaceWidget::SlotActiveUrlChanged);
    // A server that is no longer listed is left.
    connect(mpServersPanel, &JoxWsdd::WsddConnectionWidget::SignalSelectionLeft, mpWorkspace,
            &WorkspaceWidget::SlotServerLeftList);
    // A server the workspace left by itself is no longer highlighted.
    connect(mpWorkspace, &WorkspaceWidget::SignalServerDropped, mpServersPanel->GetView(),
            &JoxWsdd::WsddConnectionView::ForgetSelection);

    QWidget* pCentral = new QWidget(this);
    QHBoxLayout* pLayout = new QHBoxLayout(pCentral);
    pLayout->setContentsMargins(0, StyleMetric(7), 0, StyleMetric(7));
    pLayout->setSpacing(0);
    pLayout->addWidget(new InfoWidget(), 0);
    pLayout->addWidget(mpWorkspace, 0);
    pLayout->addWidget(mpServersPanel, 0);
    setCentralWidget(pCentral);
}

void MainWindow::keyPressEvent(QKeyEvent* pEvent)
{
    if (!pEvent)
        return;
    if (pEvent->key() == Qt::Key_F11)
    {
        setWindowState(windowState() ^ Qt::WindowFullScreen);
        return;
    }
    QWidget::keyPressEvent(pEvent);
}

void MainWindow::closeEvent(QCloseEvent* pEvent)
{
    QWidget::closeEvent(pEvent);
}

} // namespace joxmaintenance
