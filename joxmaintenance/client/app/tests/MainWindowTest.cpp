#include "MainWindow.h"

#include "WaitFor.h"

#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>
#include <clientview/WsddConnectionView.h>
#include <clientview/WsddConnectionWidget.h>
#include <gui/StatusArea.h>
#include <gui/WorkspaceWidget.h>
#include <joxmaintenance/CommandLogFetch.h>
#include <joxwsstreaming/DownloadProgress.h>
#include <styles/HarlenStyle.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
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

// At the window's smallest size, with the program's style, every running
// work with how far it has come can be read in the status area: the area
// shows at least three whole lines of the style's font and scrolls over the
// rest, the latest work first.
TEST(MainWindowTest, StatusAreaAtTheSmallestWindowKeepsEveryRunningWorkReadable)
{
    QApplication::setStyle(new HarlenStyle());
    MainWindow window({QStringLiteral("127.0.0.1")});
    window.resize(window.minimumSize());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* pArea = window.GetWorkspace()->findChild<joxmaintenance::StatusArea*>();
    ASSERT_NE(pArea, nullptr);

    const QString url = QStringLiteral("http://127.0.0.1:7195");
    const QString folder = QStringLiteral("/tmp/tandril-test-nKNVgw");
    QList<joxmaintenance::CommandPtr> works;
    for (const char* pName : {"0-first-of-two-slow-downloads.zip", "1-second-of-two-slow-downloads.zip"})
    {
        const auto pFetch = boost::make_shared<joxmaintenance::CommandLogFetch>(url, folder, QLatin1String(pName));
        std::const_pointer_cast<joxwsstreaming::DownloadProgress>(pFetch->GetProgress())->AddReceived(73728);
        pArea->AddWork(pFetch,
                       QStringLiteral("Downloading log package \"%1\" from server 127.0.0.1 (%2) into \"%3\"")
                           .arg(QLatin1String(pName), url, folder),
                       url, QStringLiteral("127.0.0.1"));
        works.append(pFetch);
    }
    QLabel* pLabel = pArea->findChild<QLabel*>(QStringLiteral("ActivityLabel"));
    ASSERT_NE(pLabel, nullptr);
    ASSERT_TRUE(tandriltest::WaitFor([&] { return pLabel->text().count(QStringLiteral("... 72.00 KiB received")) == 2; }, 5000))
        << pLabel->text().toStdString();
    EXPECT_TRUE(pLabel->text().startsWith(QStringLiteral("Running: Downloading log package \"1-second")))
        << pLabel->text().toStdString();
    QApplication::processEvents();

    // What can be brought into view: the part shown, plus the scroll range
    // when the label sits in a scroll area.
    const int shown = pLabel->visibleRegion().boundingRect().height();
    int reachable = shown;
    int viewportWidth = pArea->width();
    for (QWidget* pParent = pLabel->parentWidget(); pParent != pArea; pParent = pParent->parentWidget())
    {
        if (auto* pScroll = qobject_cast<QScrollArea*>(pParent))
        {
            reachable += pScroll->verticalScrollBar()->maximum();
            viewportWidth = pScroll->viewport()->width();
        }
    }
    EXPECT_GE(shown, 3 * pLabel->fontMetrics().lineSpacing());
    EXPECT_GE(pLabel->height(), pLabel->heightForWidth(pLabel->width())) << pLabel->text().toStdString();
    EXPECT_GE(reachable, pLabel->heightForWidth(pLabel->width()));
    EXPECT_LE(pLabel->width(), viewportWidth);
    // The pages above keep the rest of the height: the area is as high as
    // the part it shows.
    EXPECT_LE(pArea->height(), shown + 8);
    for (const joxmaintenance::CommandPtr& rWork : works)
        pArea->EndWork(rWork);
}
