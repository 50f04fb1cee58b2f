#include "DialogButtons.h"
#include "ModalDriver.h"
#include "WidgetRender.h"

#include <joxgui/ApplicationBar.h>
#include <joxgui/ApplicationTab.h>
#include <joxgui/ColorSelectWidget.h>
#include <joxgui/ExtendableTabBar.h>
#include <joxgui/ExtendableTabBarCloseButton.h>
#include <joxgui/ExtendableTabWidget.h>
#include <joxgui/FileDirChooser.h>
#include <joxgui/FoldWidget.h>
#include <joxgui/FunctionRunnerQt.h>
#include <joxgui/InOutEditWidget.h>
#include <joxgui/PopupLineEdit.h>
#include <joxgui/TabBar.h>
#include <joxgui/TableView.h>
#include <joxgui/ToolButton.h>
#include <joxgui/ToolButtonCombo.h>
#include <styles/StyleMetrics.h>
#include <styles/StylePalette.h>

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace JoxGui;
using namespace JoxGui::CustomWidgets;
using joxguitest::ClickDialogButton;
using joxguitest::ModalDriver;
using joxguitest::Render;

namespace {

// An application bar whose clock the test sets.
class ClockedBar : public ApplicationBar
{
public:
    QTime mNow;

protected:
    QTime CurrentTime() const override { return mNow; }
};

TEST(ApplicationBarTest, CurrentIndexFromSlotAndClicks)
{
    ApplicationBar bar;
    for (const char* pName : {"Ingest", "Playout", "Transform"})
        bar.AddTab(QString::fromLatin1(pName));
    QSignalSpy changed(&bar, &ApplicationBar::CurrentIndexChanged);

    for (int index : {-1, 3, 99}) {
        bar.SetCurrentIndex(index);
        EXPECT_EQ(changed.count(), 0) << index;
        EXPECT_EQ(bar.GetCurrentIndex(), -1) << index;
    }
    bar.SetCurrentIndex(1);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.takeFirst().at(0).toInt(), 1);
    EXPECT_TRUE(bar.GetTab(1)->isChecked());

    bar.show();
    QTest::mouseClick(bar.GetTab(2), Qt::LeftButton);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.takeFirst().at(0).toInt(), 2);
    EXPECT_FALSE(bar.GetTab(1)->isChecked());
    EXPECT_TRUE(bar.GetTab(2)->isChecked());
}

TEST(ApplicationBarTest, ClockShowsTheTimeEachTick)
{
    ClockedBar bar;
    auto* pTimer = bar.findChild<QTimer*>();
    ASSERT_NE(pTimer, nullptr);
    EXPECT_TRUE(pTimer->isActive());
    EXPECT_EQ(pTimer->interval(), 1000);
    bar.mNow = QTime(7, 5, 9);
    QMetaObject::invokeMethod(pTimer, "timeout");
    EXPECT_EQ(bar.GetClockText(), QStringLiteral("07:05:09"));
    bar.mNow = QTime(23, 59, 59);
    QMetaObject::invokeMethod(pTimer, "timeout");
    EXPECT_EQ(bar.GetClockText(), QStringLiteral("23:59:59"));
}

TEST(ColorSelectWidgetTest, SetColorAndDialog)
{
    ColorSelectWidget widget(Qt::red);
    QSignalSpy selected(&widget, &ColorSelectWidget::SigColorSelected);
    QSignalSpy clicked(&widget, &ColorSelectWidget::SigClicked);
    widget.SetColor(QColor());
    widget.SetColor(QColor(1, 2, 3));
    EXPECT_EQ(selected.count(), 0);
    widget.SetColor(QColor(4, 5, 6), true);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(widget.GetColor(), QColor(4, 5, 6));
    widget.resize(40, 20);
    EXPECT_EQ(Render(widget).pixelColor(20, 10), QColor(4, 5, 6));
    selected.clear();

    {
        ModalDriver driver([](QDialog* pDialog) {
            EXPECT_EQ(qobject_cast<QColorDialog*>(pDialog)->currentColor(), QColor(4, 5, 6));
            ClickDialogButton(pDialog, QDialogButtonBox::Cancel);
        });
        widget.OpenSelect();
    }
    EXPECT_EQ(selected.count(), 0);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(widget.GetColor(), QColor(4, 5, 6));

    {
        ModalDriver driver([](QDialog* pDialog) {
            qobject_cast<QColorDialog*>(pDialog)->setCurrentColor(QColor(10, 200, 30));
            ClickDialogButton(pDialog, QDialogButtonBox::Ok);
        });
        widget.OpenSelect();
    }
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).value<QColor>(), QColor(10, 200, 30));
    EXPECT_EQ(clicked.count(), 2);
}

struct TabFixture
{
    TabFixture(int minimum)
    {
        tabs.SetTabsClosable(true);
        tabs.SetPlusTabShown(true);
        for (const char* pName : {"a", "b", "c"}) {
            auto* pPage = new QWidget;
            pPage->setObjectName(QString::fromLatin1(pName));
            tabs.AddPage(pPage, QString::fromLatin1(pName));
        }
        tabs.SetMinimumTabs(minimum);
        tabs.show();
    }
    ExtendableTabBarCloseButton* Button(int index)
    {
        return qobject_cast<ExtendableTabBarCloseButton*>(
            tabs.tabBar()->tabButton(index, QTabBar::RightSide));
    }
    QStringList Pages()
    {
        QStringList names;
        for (int i = 0; i < tabs.GetPageCount(); ++i)
            names << tabs.widget(i)->objectName();
        return names;
    }
    ExtendableTabWidget tabs;
};

TEST(ExtendableTabWidgetTest, CloseButtonsHideAtTheFewestPages)
{
    TabFixture fixture(1);
    ExtendableTabWidget& rTabs = fixture.tabs;
    EXPECT_EQ(rTabs.count(), 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(fixture.Button(i)->isVisible()) << i;
    QSignalSpy closed(&rTabs, qOverload<uint>(&ExtendableTabWidget::CloseButtonClicked));

    QPointer<QWidget> pFirst = rTabs.widget(0);
    fixture.Button(0)->click();
    fixture.Button(1)->click();
    ASSERT_EQ(closed.count(), 2);
    EXPECT_EQ(closed.at(0).at(0).toUInt(), 0u);
    EXPECT_EQ(closed.at(1).at(0).toUInt(), 1u);
    EXPECT_EQ(fixture.Pages(), QStringList{QStringLiteral("b")});
    EXPECT_FALSE(fixture.Button(0)->isVisible());

    // Closing removes the tab, not the page.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(pFirst.isNull());

    QSignalSpy plus(&rTabs, &ExtendableTabWidget::PlusButtonClicked);
    QTest::mouseClick(rTabs.tabBar(), Qt::LeftButton, {}, rTabs.tabBar()->tabRect(1).center());
    EXPECT_EQ(plus.count(), 1);
    EXPECT_EQ(rTabs.currentIndex(), 0);
}

TEST(ExtendableTabWidgetTest, ListenerThatClosesAnotherTabCannotSwapPages)
{
    TabFixture fixture(0);
    ExtendableTabWidget& rTabs = fixture.tabs;
    QList<uint> heard;
    QObject::connect(&rTabs, qOverload<uint>(&ExtendableTabWidget::CloseButtonClicked),
                     [&](uint index) {
                         heard << index;
                         rTabs.removeTab(0);
                     });
    fixture.Button(1)->click();
    EXPECT_EQ(heard, QList<uint>{1u});
    EXPECT_EQ(fixture.Pages(), QStringList{QStringLiteral("c")});
}

TEST(ExtendableTabWidgetTest, ListenersSeeTheClickedPageInPlace)
{
    TabFixture fixture(0);
    ExtendableTabWidget& rTabs = fixture.tabs;
    QStringList seen;
    bool deletePage = false;
    QObject::connect(&rTabs, qOverload<uint>(&ExtendableTabWidget::CloseButtonClicked), [&](uint index) {
        seen << rTabs.widget(int(index))->objectName();
        if (deletePage)
            delete rTabs.widget(int(index));
    });
    QPointer<QWidget> pB = rTabs.widget(1);
    fixture.Button(1)->click();
    EXPECT_EQ(seen, QStringList{QStringLiteral("b")});
    EXPECT_EQ(fixture.Pages(), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(pB.isNull());
    EXPECT_EQ(rTabs.indexOf(pB), -1);
    delete pB;

    // A listener that deletes the page itself leaves the other pages alone.
    deletePage = true;
    fixture.Button(0)->click();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_EQ(fixture.Pages(), QStringList{QStringLiteral("c")});
}

TEST(ExtendableTabWidgetTest, PageNoLongerInTheWidgetEmitsNothing)
{
    TabFixture fixture(0);
    QPointer<ExtendableTabBarCloseButton> pButton = fixture.Button(0);
    QWidget* pPage = fixture.tabs.widget(0);
    fixture.tabs.removeTab(0); // the button is only deleted later
    ASSERT_FALSE(pButton.isNull());
    QSignalSpy closed(&fixture.tabs, qOverload<uint>(&ExtendableTabWidget::CloseButtonClicked));
    pButton->click();
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(fixture.Pages(), (QStringList{QStringLiteral("b"), QStringLiteral("c")}));
    delete pPage;
}

TEST(FileDirChooserTest, BrowseWithoutFocusAndChoiceSignals)
{
    FileDirChooser chooser(QStringLiteral("Pick"), QFileDialog::AnyFile);
    chooser.GetBrowseButton()->setFocusPolicy(Qt::NoFocus);
    chooser.show();
    QSignalSpy changed(&chooser, &FileDirChooser::ChoiceChanged);
    QSignalSpy finished(&chooser, &FileDirChooser::ChoiceFinished);
    chooser.GetLineEdit()->setText(QStringLiteral("/tmp"));
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toString(), QStringLiteral("/tmp"));

    QString title;
    {
        ModalDriver driver([&](QDialog* pDialog) {
            title = pDialog->windowTitle();
            ClickDialogButton(pDialog, QDialogButtonBox::Cancel);
        });
        QTest::mouseClick(chooser.GetBrowseButton(), Qt::LeftButton);
        EXPECT_EQ(driver.Seen(), 1);
    }
    EXPECT_EQ(title, QStringLiteral("Pick"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("/tmp"));
    EXPECT_EQ(chooser.GetLineEdit()->text(), QStringLiteral("/tmp"));

    {
        ModalDriver driver([](QDialog* pDialog) {
            auto* pName = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(pName, nullptr);
            pName->setText(QStringLiteral("chosen.log"));
            ClickDialogButton(pDialog, QDialogButtonBox::Open);
        });
        chooser.GetBrowseButton()->click();
    }
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(1).at(0).toString(), QStringLiteral("/tmp/chosen.log"));
    EXPECT_EQ(chooser.GetLineEdit()->text(), QStringLiteral("/tmp/chosen.log"));
}

// Counts what the group is asked to hide.
class CountingFold : public FoldWidget
{
public:
    using FoldWidget::FoldWidget;
    QList<bool> mHidden;

protected:
    void SetAllWidgetsHidden(bool hidden) override { mHidden << hidden; }
};

TEST(FoldWidgetTest, FoldingResizesAndSignalsOnce)
{
    CountingFold fold(QStringLiteral("A rather long settings title"));
    auto* pContent = new QLabel(QStringLiteral("x"), fold.GetContent());
    pContent->setMinimumHeight(80);
    fold.resize(400, fold.sizeHint().height());
    fold.show();
    const int openHeight = fold.height();
    QSignalSpy folded(&fold, &FoldWidget::Folded);
    QSignalSpy resized(&fold, &FoldWidget::Resize);

    fold.Fold(true);
    fold.Fold(true);
    ASSERT_EQ(folded.count(), 1);
    EXPECT_TRUE(folded.at(0).at(0).toBool());
    const int foldedHeight = StyleMetric(3) + 2 * StyleMetric(4);
    EXPECT_EQ(fold.height(), foldedHeight);
    ASSERT_EQ(resized.count(), 1);
    EXPECT_EQ(resized.at(0).at(0).toInt(), foldedHeight - openHeight);
    EXPECT_FALSE(fold.GetContent()->isVisible());
    EXPECT_FALSE(fold.GetTitleLabel()->text().isEmpty());

    fold.Toggle();
    EXPECT_FALSE(fold.IsFolded());
    EXPECT_EQ(folded.count(), 2);
    EXPECT_TRUE(fold.GetContent()->isVisible());
    EXPECT_TRUE(fold.GetTitleLabel()->text().isEmpty());
    EXPECT_GT(fold.height(), foldedHeight);

    // The header's menu offers hiding while unfolded.
    QString offered;
    QTimer::singleShot(50, [&] {
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(pMenu, nullptr);
        offered = pMenu->actions().value(0)->text();
        pMenu->actions().value(0)->trigger();
        pMenu->close();
    });
    emit fold.GetHeaderButton()->customContextMenuRequested(QPoint(2, 2));
    EXPECT_EQ(offered, QStringLiteral("Hide all settings"));
    EXPECT_EQ(fold.mHidden, QList<bool>{true});
}

TEST(FunctionRunnerQtTest, RunsReportsAndCancels)
{
    FunctionRunnerQt runner;
    QSignalSpy started(&runner, &FunctionRunnerQt::FunctionStarted);
    QSignalSpy progress(&runner, &FunctionRunnerQt::ProgressChanged);
    QSignalSpy finished(&runner, &FunctionRunnerQt::FunctionFinished);
    ASSERT_TRUE(runner.Start([](FunctionRunnerQt& rRunner) {
        rRunner.ReportProgress(50);
        while (!rRunner.IsCancelRequested())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }));
    EXPECT_FALSE(runner.Start([](FunctionRunnerQt&) {}));
    EXPECT_TRUE(finished.wait(50) == false);
    runner.CloseThread();
    EXPECT_FALSE(runner.HasThread());
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 2000));
    EXPECT_EQ(started.count(), 1);
    ASSERT_EQ(progress.count(), 1);
    EXPECT_EQ(progress.at(0).at(0).toInt(), 50);
}

TEST(FunctionRunnerQtTest, CloseThreadWaitsForTheEndUnlessBounded)
{
    std::atomic<bool> release{false};
    std::atomic<bool> ended{false};
    FunctionRunnerQt runner;
    ASSERT_TRUE(runner.Start([&](FunctionRunnerQt&) {
        // Ignores cancelling and interruption until released, for up to ten seconds.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!release && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ended = true;
    }));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(runner.TryCloseThread(100));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(runner.HasThread());

    // The slot returns only once the worker is over.
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        release = true;
    });
    runner.CloseThread();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(runner.HasThread());
    releaser.join();
    EXPECT_TRUE(runner.TryCloseThread(0));
}

TEST(InOutEditWidgetTest, ButtonsActOnTheirStateBeforeTheClick)
{
    InOutEditWidget widget;
    widget.show();
    QSignalSpy setIn(&widget, &InOutEditWidget::SignalSetIn);
    QSignalSpy deleteIn(&widget, &InOutEditWidget::SignalDeleteIn);
    QSignalSpy setOut(&widget, &InOutEditWidget::SignalSetOut);
    QSignalSpy deleteOut(&widget, &InOutEditWidget::SignalDeleteOut);
    QSignalSpy deleteDuration(&widget, &InOutEditWidget::SignalDeleteDuration);

    QTest::mouseClick(widget.GetInButton(), Qt::LeftButton);
    EXPECT_EQ(setIn.count(), 1);
    EXPECT_EQ(deleteIn.count(), 0);
    EXPECT_TRUE(widget.GetInButton()->isChecked());
    QTest::mouseClick(widget.GetInButton(), Qt::LeftButton);
    EXPECT_EQ(setIn.count(), 1);
    EXPECT_EQ(deleteIn.count(), 1);
    EXPECT_FALSE(widget.GetInButton()->isChecked());

    widget.GetOutButton()->click();
    widget.GetOutButton()->click();
    EXPECT_EQ(setOut.count(), 1);
    EXPECT_EQ(deleteOut.count(), 1);

    // An unset duration stays unset; a set one is deleted.
    widget.GetDurationButton()->click();
    EXPECT_EQ(deleteDuration.count(), 0);
    EXPECT_FALSE(widget.GetDurationButton()->isChecked());
    widget.GetDurationButton()->setChecked(true);
    QMetaObject::invokeMethod(&widget, "SlotButtonDeleteDurationClicked", Q_ARG(bool, true));
    EXPECT_TRUE(widget.GetDurationField()->isEnabled());
    widget.GetDurationButton()->click();
    EXPECT_EQ(deleteDuration.count(), 1);
    EXPECT_FALSE(widget.GetDurationField()->isEnabled());

    QSignalSpy inFrame(&widget, &InOutEditWidget::SignalFrameInChanged);
    widget.GetInField()->setFocus();
    QTest::keyClicks(widget.GetInField(), QStringLiteral("1234"));
    QTest::keyClick(widget.GetInField(), Qt::Key_Return);
    ASSERT_GE(inFrame.count(), 1);
    EXPECT_EQ(inFrame.at(0).at(0).toLongLong(), 1234);
}

TEST(PopupLineEditTest, TypingOpensThePopupAndOnlyAcceptingChangesTheText)
{
    QWidget parent;
    auto* pEdit = new PopupLineEdit(&parent);
    pEdit->move(10, 80);
    pEdit->SetText(QStringLiteral("old"));
    parent.show();
    QSignalSpy finished(pEdit, &PopupLineEdit::EditingFinished);

    QString seen;
    {
        ModalDriver driver([&](QDialog* pDialog) {
            seen = pDialog->findChild<QLineEdit*>()->text();
            ClickDialogButton(pDialog, QDialogButtonBox::Cancel);
        });
        pEdit->GetLineEdit()->setFocus();
        pEdit->GetLineEdit()->end(false);
        QTest::keyClick(pEdit->GetLineEdit(), Qt::Key_X);
    }
    EXPECT_EQ(seen, QStringLiteral("oldx"));
    EXPECT_EQ(pEdit->GetLineEdit()->text(), QStringLiteral("old"));
    EXPECT_EQ(finished.count(), 0);

    {
        ModalDriver driver([&](QDialog* pDialog) {
            pDialog->findChild<QLineEdit*>()->setText(QStringLiteral("new"));
            ClickDialogButton(pDialog, QDialogButtonBox::Ok);
        });
        QTest::keyClick(pEdit->GetLineEdit(), Qt::Key_Y);
    }
    EXPECT_EQ(pEdit->GetLineEdit()->text(), QStringLiteral("new"));
    EXPECT_EQ(pEdit->GetText(), QStringLiteral("new"));
    EXPECT_EQ(finished.count(), 1);
}

TEST(TabBarTest, CurrentIndexIsClampedAndPainted)
{
    TabBar empty;
    empty.SetCurrentIndex(7);
    EXPECT_EQ(empty.GetCurrentIndex(), 0);

    TabBar bar;
    for (const char* pName : {"a", "b", "c"})
        bar.AddTab(QString::fromLatin1(pName));
    bar.resize(300, 20);
    QSignalSpy changed(&bar, &TabBar::CurrentIndexChanged);
    const struct { int mIn, mCurrent; } cases[] = {{7, 2}, {2, 2}, {-3, 0}, {1, 1}};
    for (const auto& rCase : cases) {
        bar.SetCurrentIndex(rCase.mIn);
        EXPECT_EQ(bar.GetCurrentIndex(), rCase.mCurrent) << rCase.mIn;
    }
    EXPECT_EQ(changed.count(), 3);

    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(250, 10));
    EXPECT_EQ(bar.GetCurrentIndex(), 2);
    const QImage image = Render(bar);
    EXPECT_EQ(image.pixelColor(295, 2), StylePalette::ColorAccent);
    EXPECT_EQ(image.pixelColor(5, 2), StylePalette::ColorPanel);
}

// Records the header menus asked for.
class MenuTable : public TableView
{
public:
    QList<std::pair<Qt::Orientation, int>> mMenus;

protected:
    void ShowHeaderMenu(QHeaderView*, Qt::Orientation orientation, const QPoint&, int index) override
    {
        mMenus.append({orientation, index});
    }
};

TEST(TableViewTest, HeaderMenusAndKeys)
{
    QStandardItemModel model(3, 2);
    MenuTable table;
    table.setModel(&model);
    table.resize(300, 200);
    table.show();
    QHeaderView* pHorizontal = table.horizontalHeader();
    emit pHorizontal->customContextMenuRequested(QPoint(pHorizontal->sectionViewportPosition(1) + 3, 3));
    emit table.verticalHeader()->customContextMenuRequested(QPoint(3, 190));
    ASSERT_EQ(table.mMenus.size(), 2);
    EXPECT_EQ(table.mMenus[0], std::make_pair(Qt::Horizontal, 1));
    EXPECT_EQ(table.mMenus[1], std::make_pair(Qt::Vertical, -1));

    QSignalSpy deleted(&table, &TableView::DeletePressed);
    QSignalSpy all(&table, &TableView::SelectAllPressed);
    QTest::keyClick(&table, Qt::Key_Delete);
    QTest::keyClick(&table, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(deleted.count(), 1);
    EXPECT_EQ(all.count(), 1);
}

TEST(ToolButtonTest, MenuIsAtLeastAsWideAsTheButton)
{
    ToolButton button;
    button.resize(200, 24);
    button.menu()->addAction(QStringLiteral("one"));
    button.show();
    QSignalSpy about(&button, &ToolButton::SignalAboutToShowMenu);
    button.click();
    EXPECT_EQ(about.count(), 1);
    QMenu* pMenu = button.menu();
    EXPECT_TRUE(pMenu->isVisible());
    EXPECT_EQ(pMenu->minimumWidth(), 200);
    EXPECT_EQ(pMenu->maximumWidth(), std::max(200, pMenu->sizeHint().width() - 45));
    pMenu->close();
}

TEST(ToolButtonComboTest, ChoosingShowsTheChoiceAndItsOwnTooltipOnly)
{
    ToolButtonCombo combo(QStringLiteral("choose"));
    combo.AddAction(QStringLiteral("first"), QStringLiteral("The first choice"));
    combo.AddAction(QStringLiteral("second"));
    QSignalSpy changed(&combo, &ToolButtonCombo::SigCurrentIndexChanged);
    EXPECT_EQ(combo.GetButton()->text(), QStringLiteral("choose"));

    combo.GetMenu()->actions().at(0)->trigger();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(combo.GetCurrentIndex(), 0);
    EXPECT_EQ(combo.GetButton()->text(), QStringLiteral("first"));
    EXPECT_EQ(combo.GetButton()->toolTip(), QStringLiteral("The first choice"));

    combo.SetUpperCase(true);
    combo.GetMenu()->actions().at(1)->trigger();
    EXPECT_EQ(combo.GetButton()->text(), QStringLiteral("SECOND"));
    EXPECT_TRUE(combo.GetButton()->toolTip().isEmpty());

    combo.SetCurrentIndex(0);
    combo.SetCurrentIndex(5);
    EXPECT_EQ(combo.GetCurrentIndex(), -1);
    EXPECT_EQ(combo.GetButton()->text(), QStringLiteral("CHOOSE"));
    EXPECT_TRUE(combo.GetButton()->toolTip().isEmpty());
    EXPECT_EQ(changed.count(), 2);
}

} // namespace
