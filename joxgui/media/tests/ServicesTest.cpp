#include "DialogButtons.h"

#include <joxgui/S3DAnalyzeDialog.h>
#include <joxgui/S3DAnalyzeFrame.h>
#include <joxgui/S3DRectifyDialog.h>
#include <joxgui/S3DRectifyFrame.h>
#include <joxgui/ServiceList.h>
#include <styles/StylePalette.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QMenu>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace JoxGui;
using joxguitest::ClickDialogButton;

namespace {

using Status = ServiceList::ServiceStatus;
using Command = ServiceList::ServiceCommand;

struct MenuRun
{
    QStringList mOffered;
    QPoint mPosition;
    bool mShown = false;
};

// Opens the item's context menu and, while it runs, calls during(menu) and
// then chooses the action with the text choose (none when empty).
MenuRun RunContextMenu(ServiceList& rList, QTreeWidgetItem* pItem, const QString& rChoose,
                       std::function<void()> during = {})
{
    MenuRun run;
    const QPoint position = rList.visualItemRect(pItem).center();
    QTimer::singleShot(0, [&] {
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (pMenu == nullptr)
            return;
        run.mShown = true;
        run.mPosition = pMenu->pos();
        for (QAction* pAction : pMenu->actions())
            run.mOffered << pAction->text();
        if (during)
            during();
        for (QAction* pAction : pMenu->actions()) {
            if (pAction->text() == rChoose) {
                pMenu->setActiveAction(pAction);
                QTest::keyClick(pMenu, Qt::Key_Return);
                return;
            }
        }
        pMenu->close();
    });
    emit rList.customContextMenuRequested(position);
    EXPECT_TRUE(run.mShown);
    EXPECT_EQ(run.mPosition, rList.viewport()->mapToGlobal(position));
    return run;
}

QImage IconImage(QTreeWidgetItem* pItem)
{
    return pItem->icon(0).pixmap(16).toImage();
}

TEST(ServiceListTest, StatusSetsIconColourAndTheMenu)
{
    ServiceList list;
    list.move(100, 100);
    list.resize(300, 200);
    list.show();
    QTreeWidgetItem* pLocked = list.AddService(QStringLiteral("X"), QStringLiteral("Y"));
    QTreeWidgetItem* pOther = list.AddService(QStringLiteral("x"), QStringLiteral("Y"));
    QTreeWidgetItem* pFresh = list.AddService(QStringLiteral("M"), QStringLiteral("N"));
    EXPECT_EQ(pLocked->text(0), QStringLiteral("X:Y"));
    QSignalSpy commands(&list, &ServiceList::SignalServiceCommand);

    list.SlotServiceStatus(QStringLiteral("X"), QStringLiteral("Y"), ServiceList::StatusLocked);
    EXPECT_EQ(pLocked->foreground(0).color(), StylePalette::ColorAccent);
    EXPECT_EQ(IconImage(pLocked), QIcon(QStringLiteral(":/GuiIcons/service_locked.png")).pixmap(16).toImage());
    EXPECT_FALSE(IconImage(pLocked).isNull());
    EXPECT_EQ(pLocked->data(0, Qt::UserRole).toInt(), 3);
    EXPECT_EQ(pOther->foreground(0).color(), StylePalette::ColorGrey); // matching is case-sensitive

    MenuRun run = RunContextMenu(list, pLocked, QStringLiteral("Unlock"));
    EXPECT_EQ(run.mOffered, QStringList{QStringLiteral("Unlock")});
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toString(), QStringLiteral("X"));
    EXPECT_EQ(commands.at(0).at(1).toString(), QStringLiteral("Y"));
    EXPECT_EQ(commands.at(0).at(2).value<Command>(), ServiceList::CommandUnlock);

    const struct { int mState; QStringList mOffered; QColor mColor; const char* mIcon; } cases[] = {
        {0, {QStringLiteral("Start"), QStringLiteral("Clear")}, StylePalette::ColorGrey, "unknown"},
        {1, {QStringLiteral("Start"), QStringLiteral("Clear")}, StylePalette::ColorGrey, "stopped"},
        {2, {QStringLiteral("Stop"), QStringLiteral("Lock")}, StylePalette::ColorAccent, "unlocked"},
        {7, {QStringLiteral("Start"), QStringLiteral("Clear")}, StylePalette::ColorGrey, "unknown"},
    };
    for (const auto& rCase : cases) {
        list.SlotServiceStatus(QStringLiteral("X"), QStringLiteral("Y"), static_cast<Status>(rCase.mState));
        EXPECT_EQ(pLocked->foreground(0).color(), rCase.mColor) << rCase.mState;
        EXPECT_EQ(IconImage(pLocked),
                  QIcon(QStringLiteral(":/GuiIcons/service_%1.png").arg(QLatin1String(rCase.mIcon)))
                      .pixmap(16)
                      .toImage())
            << rCase.mState;
        EXPECT_EQ(RunContextMenu(list, pLocked, QString()).mOffered, rCase.mOffered) << rCase.mState;
    }
    EXPECT_EQ(RunContextMenu(list, pFresh, QStringLiteral("Clear")).mOffered,
              (QStringList{QStringLiteral("Start"), QStringLiteral("Clear")}));
    ASSERT_EQ(commands.count(), 2);
    EXPECT_EQ(commands.at(1).at(2).value<Command>(), ServiceList::CommandClear);
}

TEST(ServiceListTest, KeysWithColonsStayApart)
{
    ServiceList list;
    list.resize(300, 200);
    list.show();
    QTreeWidgetItem* pHost = list.AddService(QStringLiteral("fe80::1"), QStringLiteral("player"));
    QTreeWidgetItem* pSplit = list.AddService(QStringLiteral("fe80"), QStringLiteral(":1:player"));
    EXPECT_EQ(pHost->text(0), pSplit->text(0));
    list.SlotServiceStatus(QStringLiteral("fe80::1"), QStringLiteral("player"), ServiceList::StatusRunning);
    EXPECT_EQ(pHost->data(0, Qt::UserRole).toInt(), 2);
    EXPECT_FALSE(pSplit->data(0, Qt::UserRole).isValid());

    QSignalSpy commands(&list, &ServiceList::SignalServiceCommand);
    RunContextMenu(list, pHost, QStringLiteral("Stop"));
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toString(), QStringLiteral("fe80::1"));
    EXPECT_EQ(commands.at(0).at(1).toString(), QStringLiteral("player"));

    // An item known only by a text with two colons names no service.
    auto* pBare = new QTreeWidgetItem(&list, {QStringLiteral("a:b:c")});
    RunContextMenu(list, pBare, QStringLiteral("Start"));
    EXPECT_EQ(commands.count(), 1);
}

TEST(ServiceListTest, ServiceLeavingWhileItsMenuIsOpen)
{
    ServiceList list;
    list.resize(300, 200);
    list.show();
    for (int i = 0; i < 5; ++i)
        list.AddService(QStringLiteral("host%1").arg(i), QStringLiteral("svc"));
    QTreeWidgetItem* pItem = list.FindServices(QStringLiteral("host3"), QStringLiteral("svc")).value(0);
    ASSERT_NE(pItem, nullptr);
    QSignalSpy commands(&list, &ServiceList::SignalServiceCommand);
    RunContextMenu(list, pItem, QStringLiteral("Start"),
                   [&] { list.RemoveService(QStringLiteral("host3"), QStringLiteral("svc")); });
    EXPECT_EQ(list.topLevelItemCount(), 4);
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toString(), QStringLiteral("host3"));

    // Services arrive and leave; statuses reach only those present.
    list.AddService(QStringLiteral("host3"), QStringLiteral("svc"));
    list.RemoveService(QStringLiteral("host0"), QStringLiteral("svc"));
    list.SlotServiceStatus(QStringLiteral("host0"), QStringLiteral("svc"), ServiceList::StatusStopped);
    list.SlotServiceStatus(QStringLiteral("host3"), QStringLiteral("svc"), ServiceList::StatusStopped);
    EXPECT_EQ(list.topLevelItemCount(), 4);
    EXPECT_EQ(list.FindServices(QStringLiteral("host3"), QStringLiteral("svc")).value(0)->data(0, Qt::UserRole).toInt(), 1);
    EXPECT_TRUE(list.FindServices(QStringLiteral("host0"), QStringLiteral("svc")).isEmpty());
}

QList<bool> Enabled(const QList<QWidget*>& rWidgets)
{
    QList<bool> enabled;
    for (QWidget* pWidget : rWidgets)
        enabled << pWidget->isEnabled();
    return enabled;
}

TEST(S3DRectifyFrameTest, TablesAndEnabledWidgets)
{
    EXPECT_EQ(S3DRectifyFrame::ModeKeys.size(), 7u);
    EXPECT_EQ(S3DRectifyFrame::ModeKeys.at(6), "geometrywarping");
    EXPECT_EQ(S3DRectifyFrame::ModeDisplayNames.at(2), "Rectification based on the first and last key frame");

    S3DRectifyFrame frame;
    const QList<bool> on{true, true, true};
    const QList<bool> off{false, false, false};
    frame.EnableWidgets(0);
    EXPECT_EQ(Enabled(frame.GetDynamicWidgets()), off);
    EXPECT_EQ(Enabled(frame.GetKeyframeWidgets()), off);
    frame.EnableWidgets(1);
    EXPECT_EQ(Enabled(frame.GetDynamicWidgets()), on);
    EXPECT_EQ(Enabled(frame.GetKeyframeWidgets()), off);

    QSignalSpy dynamicType(&frame, &S3DRectifyFrame::RectifyDynamicTypeClicked);
    frame.GetButtonGroup(1)->button(S3DRectifyFrame::ModeCustom)->click();
    ASSERT_EQ(dynamicType.count(), 1);
    EXPECT_EQ(dynamicType.at(0).at(0).toInt(), 4);
    EXPECT_EQ(Enabled(frame.GetKeyframeWidgets()), on);
    frame.EnableWidgets(0);
    EXPECT_EQ(Enabled(frame.GetKeyframeWidgets()), off);
    frame.EnableWidgets(1);
    EXPECT_EQ(Enabled(frame.GetKeyframeWidgets()), on);
    frame.EnableKeyframeWidgets(3);
    EXPECT_EQ(Enabled(frame.GetKeyframeWidgets()), off);

    QSignalSpy type(&frame, &S3DRectifyFrame::RectifyTypeClicked);
    QSignalSpy add(&frame, &S3DRectifyFrame::CustomKeyframeTableAddClicked);
    frame.GetButtonGroup(0)->button(S3DRectifyFrame::ModeStatic)->click();
    EXPECT_EQ(type.count(), 1);
    EXPECT_EQ(Enabled(frame.GetDynamicWidgets()), off);
    frame.EnableWidgets(1);
    static_cast<QAbstractButton*>(frame.GetKeyframeWidgets()[1])->click();
    EXPECT_EQ(add.count(), 1);
}

TEST(S3DAnalyzeFrameTest, SplitFollowsSceneDetectionAndTheDialogRelays)
{
    S3DAnalyzeDialog dialog;
    S3DAnalyzeFrame* pFrame = dialog.GetFrame();
    QSignalSpy keyframes(&dialog, &S3DAnalyzeDialog::SpinBoxKeyframesValueChanged);
    QSignalSpy scenes(&dialog, &S3DAnalyzeDialog::CheckBoxSceneDetectionToggled);
    QSignalSpy split(&dialog, &S3DAnalyzeDialog::SplitAtSceneMarkersToggled);
    EXPECT_FALSE(pFrame->GetSplitCheckBox()->isEnabled());
    EXPECT_FALSE(pFrame->GetDependentWidget()->isEnabled());

    pFrame->SetNumberOfKeyframes(12);
    pFrame->SetDoSceneDetection(true);
    pFrame->SetSplitAtSceneMarkers(true);
    EXPECT_EQ(pFrame->GetKeyframesSpinBox()->value(), 12);
    EXPECT_TRUE(pFrame->GetSplitCheckBox()->isEnabled());
    EXPECT_TRUE(pFrame->GetDependentWidget()->isEnabled());
    EXPECT_EQ(keyframes.count(), 1);
    EXPECT_EQ(scenes.count(), 1);
    EXPECT_EQ(split.count(), 1);

    dialog.open();
    ClickDialogButton(&dialog, QDialogButtonBox::Ok);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    S3DRectifyDialog rectify;
    rectify.open();
    ClickDialogButton(&rectify, QDialogButtonBox::Cancel);
    EXPECT_FALSE(rectify.isVisible());
    EXPECT_EQ(rectify.result(), QDialog::Rejected);
}

} // namespace
