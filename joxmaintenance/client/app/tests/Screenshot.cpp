// Development aid: starts the program's window with its discovery client,
// selects the first discovered service after a while, and saves a picture of
// the screen. Usage: tandril_screenshot OUTPUT.png [WAIT_MS]
#include "MainApplication.h"
#include "MainWindow.h"
#include "StartWsddClient.h"

#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>
#include <clientview/WsddConnectionWidget.h>
#include <gui/WorkspaceWidget.h>

#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const QString output = QString::fromLocal8Bit(argv[1]);
    const int waitMs = argc > 2 ? std::atoi(argv[2]) : 4000;
    joxmaintenance::MainApplication application(argc, argv);
    JoxWsdd::WSDDClient* pClient = joxmaintenance::startWSDDClient();
    if (!pClient)
        return 1;
    joxmaintenance::MainWindow window(pClient->GetThreadListenIps());
    window.resize(1400, 700);
    window.show();

    QTimer::singleShot(waitMs, [&] {
        JoxWsdd::ConnectionModel* pModel = JoxWsdd::ConnectionController::Instance()->GetModel();
        QList<JoxWsdd::WebServiceInfoPtr> services;
        if (pModel->GetServiceCount() > 0)
            services.append(pModel->GetService(0));
        std::printf("services: %d\n", pModel->GetServiceCount());
        window.GetWorkspace()->SlotActiveUrlChanged(services);
    });
    QTimer::singleShot(waitMs * 2, [&] {
        if (argc > 3)
            window.GetWorkspace()->findChild<QTabWidget*>()->setCurrentIndex(std::atoi(argv[3]));
    });
    QTimer::singleShot(waitMs * 2 + 500, [&] {
        QScreen* pScreen = QGuiApplication::primaryScreen();
        const bool saved = pScreen->grabWindow(0).save(output);
        std::printf("saved %d\n", saved ? 1 : 0);
        application.quit();
    });
    const int result = application.exec();
    delete pClient;
    return result;
}
