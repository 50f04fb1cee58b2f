#include "MainWindow.h"

#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>
#include <clientview/WsddConnectionWidget.h>
#include <gui/WorkspaceWidget.h>

#include <QTest>

#include <gtest/gtest.h>

using joxmaintenance::MainWindow;

TEST(MainWindowTest, LayoutSizesAndFullScreenKey)
{
    MainWindow window({QStringLiteral("127.0.0.1")});
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tandril"));
    EXPECT_EQ(window.minimumSize(), QSize(1200, 600));
    window.resize(1600, 800);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.GetServersPanel()->width(), 270);
    EXPECT_GT(window.GetWorkspace()->width(), 800);

    JoxWsdd::ConnectionModel* pModel = JoxWsdd::ConnectionController::Instance()->GetModel();
    const JoxWsdd::ConnectionModel::ServiceTypeList maintenance = {JoxWsdd::WebServiceInfo::ServiceTypeMaintenance};
    EXPECT_EQ(pModel->GetDragTypes(), maintenance);
    EXPECT_EQ(JoxWsdd::ConnectionController::Instance()->GetConfigurationName(), QStringLiteral("Tandril"));

    for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
                                            Qt::KeyboardModifiers(Qt::ControlModifier)})
    {
        QTest::keyClick(&window, Qt::Key_F11, modifiers);
        EXPECT_TRUE(window.windowState() & Qt::WindowFullScreen);
        QTest::keyClick(&window, Qt::Key_F11, modifiers);
        EXPECT_FALSE(window.windowState() & Qt::WindowFullScreen);
    }
}
