#include "MainWindow.h"

#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>
#include <clientview/WsddConnectionView.h>
#include <clientview/WsddConnectionWidget.h>
#include <gui/WorkspaceWidget.h>

#include <QItemSelectionModel>
#include <QTest>

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

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

// A server the workspace gives up by itself loses its highlight in the
// servers list, so that the highlight never shows a server the pages left.
TEST(MainWindowTest, AServerTheWorkspaceLeftIsNoLongerHighlighted)
{
    MainWindow window({QStringLiteral("127.0.0.1")});
    JoxWsdd::WsddConnectionView* pView = window.GetServersPanel()->GetView();
    QItemSelectionModel* pSelection = pView->selectionModel();
    ASSERT_NE(pSelection, nullptr);
    auto pService = boost::make_shared<JoxWsdd::WebServiceInfo>(QStringLiteral("http://10.0.0.9:8080"), false,
                                                                 JoxWsdd::WebServiceInfo::ServiceTypeMaintenance);
    JoxWsdd::ConnectionController::Instance()->GetModel()->AddSorted(pService);
    ASSERT_GT(pView->model()->rowCount(), 0);
    pSelection->select(pView->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_TRUE(pSelection->hasSelection());

    emit window.GetWorkspace()->SignalServerDropped();
    EXPECT_FALSE(pSelection->hasSelection());
    JoxWsdd::ConnectionController::Instance()->GetModel()->Clear();
}
