#include <gui/StatusArea.h>
#include <gui/WorkspaceWidget.h>
#include <gui/WrapAnywhereLabel.h>

#include "Network.h"
#include "WaitFor.h"

#include <joxmaintenance/CommandLogFetch.h>

#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <boost/make_shared.hpp>

using namespace joxmaintenance;

namespace {

const QString kUrl = QStringLiteral("http://127.0.0.1:7195");

boost::shared_ptr<CommandLogFetch> Fetch(const QString& rUrl, const QString& rName)
{
    return boost::make_shared<CommandLogFetch>(rUrl, QStringLiteral("/tmp/target"), rName);
}

QLabel* Label(const StatusArea& rArea)
{
    return rArea.findChild<QLabel*>(QStringLiteral("ActivityLabel"));
}

} // namespace

// The running works come first, then why a server was left, then the last
// few that ended, each group the latest first; a failure keeps its reason.
TEST(StatusAreaTest, RunningWorksComeFirstAndTheLastFewEndsStay)
{
    StatusArea area;
    const auto pFirst = Fetch(kUrl, QStringLiteral("first.zip"));
    const auto pSecond = Fetch(kUrl, QStringLiteral("second.zip"));
    const auto pThird = Fetch(kUrl, QStringLiteral("third.zip"));
    area.AddWork(pFirst, QStringLiteral("first"), kUrl, QStringLiteral("srv"));
    area.AddWork(pSecond, QStringLiteral("second"), kUrl, QStringLiteral("srv"));
    area.ShowServerLeft(kUrl, QStringLiteral("srv was left."));
    area.AddWork(pThird, QStringLiteral("third"), kUrl, QStringLiteral("srv"));
    EXPECT_EQ(area.Text(), QStringLiteral("Running: third ...\nRunning: second ...\nRunning: first ...\nsrv was left."));

    // A failure of its own, against a port nothing listens on.
    const auto pRefused = Fetch(QStringLiteral("http://127.0.0.1:%1").arg(tandriltest::UnusedLoopbackPort()),
                                QStringLiteral("refused.zip"));
    area.AddWork(pRefused, QStringLiteral("refused"), pRefused->GetServerUrl(), QString());
    pRefused->DoExecute();
    ASSERT_EQ(pRefused->GetState(), JoxCore::StateFailed);
    EXPECT_TRUE(area.EndWork(pRefused));
    pSecond->SetState(JoxCore::StateSucceeded);
    EXPECT_TRUE(area.EndWork(pSecond));
    EXPECT_FALSE(area.EndWork(pSecond));
    const QString failed = QStringLiteral("Failed: refused: Could not connect to the server: Connection refused.");
    EXPECT_EQ(area.Text(), QStringLiteral("Running: third ...\nRunning: first ...\nsrv was left.\n"
                                          "Done: second; saved as \"\".\n") +
                               failed);

    // Five ends are kept.
    for (int i = 0; i < 4; ++i)
        area.ShowEnd(QStringLiteral("end %1").arg(i));
    EXPECT_EQ(area.Text(), QStringLiteral("Running: third ...\nRunning: first ...\nsrv was left.\n"
                                          "end 3\nend 2\nend 1\nend 0\nDone: second; saved as \"\"."));
    area.ServerAnswered(kUrl);
    EXPECT_TRUE(area.Text().startsWith(QStringLiteral("Running: third ...\nRunning: first ...\nend 3\n")));
    area.EndWork(pFirst);
    area.EndWork(pThird);
}

// A long path without break points wraps anywhere: the text stays within the
// area's width, and all of it can be scrolled into view.
TEST(StatusAreaTest, ALongPathWrapsWithinTheArea)
{
    QWidget window;
    StatusArea* pArea = new StatusArea(&window);
    pArea->setGeometry(0, 0, 400, pArea->sizeHint().height());
    window.resize(400, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QLabel* pLabel = Label(*pArea);
    ASSERT_NE(pLabel, nullptr);
    const QString path = QStringLiteral("/tmp/") + QString(300, QLatin1Char('a')) + QStringLiteral(".zip");
    pArea->ShowEnd(QStringLiteral("Done: Downloading log package; saved as \"%1\".").arg(path));
    QApplication::processEvents();

    QScrollArea* pScroll = pArea->findChild<QScrollArea*>();
    ASSERT_NE(pScroll, nullptr);
    ASSERT_GT(pLabel->fontMetrics().horizontalAdvance(path), 3 * pScroll->viewport()->width());
    EXPECT_LE(pLabel->width(), pScroll->viewport()->width());
    // Broken inside the path: as many lines as its width needs.
    const int lines = pLabel->heightForWidth(pLabel->width()) / pLabel->fontMetrics().lineSpacing();
    EXPECT_GE(lines, pLabel->fontMetrics().horizontalAdvance(path) / pLabel->width());
    EXPECT_GE(pLabel->height(), pLabel->heightForWidth(pLabel->width()));
    EXPECT_GE(pScroll->viewport()->height() + pScroll->verticalScrollBar()->maximum(),
              pLabel->heightForWidth(pLabel->width()));
}

namespace {

QScrollArea* ScrollArea(const StatusArea& rArea)
{
    return rArea.findChild<QScrollArea*>(QStringLiteral("ActivityArea"));
}

// The height of a line of the area's text.
int LineHeight(const StatusArea& rArea)
{
    return qobject_cast<WrapAnywhereLabel*>(Label(rArea))->LineHeight();
}

// Lines of the area's text the view shows.
int ShownLines(const StatusArea& rArea)
{
    return ScrollArea(rArea)->viewport()->height() / LineHeight(rArea);
}

// A window with a stand-in for the pages above the area, as the workspace
// lays them out.
struct Window
{
    Window()
        : mpPages(new QWidget(&mWindow))
        , mpArea(new StatusArea(&mWindow))
    {
        QVBoxLayout* pLayout = new QVBoxLayout(&mWindow);
        pLayout->setContentsMargins(0, 0, 0, 0);
        pLayout->setSpacing(0);
        mpPages->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        pLayout->addWidget(mpPages);
        pLayout->addWidget(mpArea);
    }

    QWidget mWindow;
    QWidget* mpPages;
    StatusArea* mpArea;
};

// A turn of the wheel over the widget, as it reaches the widget (the view
// under the text, or the scroll bar).
void Wheel(QWidget& rWidget, int angle)
{
    const QPointF at(rWidget.width() / 2.0, rWidget.height() / 2.0);
    QWheelEvent event(at, rWidget.mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&rWidget, &event);
}

} // namespace

// The area takes a quarter of the window's height in whole lines, at least
// three, and the view always shows whole lines; when the pages need the
// room it gives it up, down to three lines. The workspace lays it out so.
TEST(StatusAreaTest, TheAreaTakesAShareOfTheWindowInWholeLines)
{
    Window window;
    window.mWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window.mWindow));
    const int line = LineHeight(*window.mpArea);
    const struct
    {
        int mHeight;
        int mPagesLeast; // the least height of the pages
        int mLines;
    } cases[] = {
        {100, 0, 3},
        {24 * line, 0, 6},
        {1600, 0, 400 / line},
        {1600, 1600 - 5 * line - line / 2, 5},
        {1600, 1600 - 2 * line, 3},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(testing::Message() << rCase.mHeight << " high, the pages at least " << rCase.mPagesLeast);
        window.mpPages->setMinimumHeight(rCase.mPagesLeast);
        window.mWindow.setMinimumHeight(0);
        window.mWindow.resize(600, rCase.mHeight);
        EXPECT_TRUE(tandriltest::WaitFor([&] { return ShownLines(*window.mpArea) == rCase.mLines; }, 5000))
            << ShownLines(*window.mpArea);
        EXPECT_EQ(ScrollArea(*window.mpArea)->viewport()->height(), rCase.mLines * line);
        EXPECT_LT(window.mpArea->height(), (rCase.mLines + 1) * line);
        if (rCase.mPagesLeast == 0)
        {
            EXPECT_EQ(window.mpArea->height(), rCase.mLines * line);
        }
        EXPECT_GE(window.mpPages->height(), std::min(rCase.mPagesLeast, window.mWindow.height() - 3 * line));
    }

    // The workspace: the pages keep three quarters of a tall one.
    WorkspaceWidget workspace;
    workspace.resize(900, 1200);
    workspace.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&workspace));
    const StatusArea* pArea = workspace.findChild<StatusArea*>();
    ASSERT_NE(pArea, nullptr);
    EXPECT_TRUE(tandriltest::WaitFor([&] { return ShownLines(*pArea) == 300 / line; }, 5000)) << ShownLines(*pArea);
    EXPECT_EQ(ScrollArea(*pArea)->viewport()->height() % line, 0);
    EXPECT_GE(workspace.findChild<QTabWidget*>()->height(), 3 * pArea->height() - 2 * line);
}

// The wheel, the arrows and the slider scroll by whole lines: every scroll
// position lies on a line boundary, a part of a notch counts towards the
// next, and the last line can be scrolled fully into view. So it is in a
// font whose lines are laid out a pixel further apart than its line spacing.
TEST(StatusAreaTest, TheAreaScrollsByWholeLines)
{
    QFont spaced = QApplication::font();
    spaced.setPixelSize(13);
    for (const QFont& rFont : {QApplication::font(), spaced})
    {
        SCOPED_TRACE(rFont.toString().toStdString());
        Window window;
        window.mWindow.resize(600, 100);
        window.mWindow.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window.mWindow));
        StatusArea& rArea = *window.mpArea;
        QLabel* pLabel = Label(rArea);
        pLabel->setFont(rFont);
        for (int i = 0; i < 5; ++i)
            rArea.ShowEnd(QStringLiteral("end %1").arg(i));
        rArea.ShowServerLeft(kUrl, QStringLiteral("srv was left."));
        const auto pWork = Fetch(kUrl, QStringLiteral("first.zip"));
        rArea.AddWork(pWork, QStringLiteral("first"), kUrl, QStringLiteral("srv"));
        // Seven lines, three shown.
        const int line = LineHeight(rArea);
        QScrollBar* pBar = ScrollArea(rArea)->verticalScrollBar();
        QWidget* pViewport = ScrollArea(rArea)->viewport();
        ASSERT_TRUE(tandriltest::WaitFor([&] { return pBar->maximum() == 4 * line; }, 5000)) << pBar->maximum();
        ASSERT_EQ(ShownLines(rArea), 3);
        EXPECT_EQ(pBar->singleStep(), line);

        const int notch = std::min(QApplication::wheelScrollLines(), 3);
        const struct
        {
            const char* mpStep;
            std::function<void()> mScroll;
            int mLines; // the position after it, in lines
        } steps[] = {
            {"a notch down", [&] { Wheel(*pViewport, -120); }, notch},
            {"a notch up, over the scroll bar", [&] { Wheel(*pBar, 120); }, 0},
            {"an arrow down", [&] { pBar->triggerAction(QAbstractSlider::SliderSingleStepAdd); }, 1},
            {"a slider dragged to 2.4 lines", [&] { pBar->setSliderPosition(2 * line + line * 2 / 5); }, 2},
            {"a slider dragged to 1.6 lines", [&] { pBar->setSliderPosition(line + line * 3 / 5); }, 2},
            {"a slider dragged past the end", [&] { pBar->setSliderPosition(pBar->maximum() + line); }, 4},
            {"an arrow up", [&] { pBar->triggerAction(QAbstractSlider::SliderSingleStepSub); }, 3},
        };
        for (const auto& rStep : steps)
        {
            SCOPED_TRACE(rStep.mpStep);
            rStep.mScroll();
            EXPECT_EQ(pBar->value(), rStep.mLines * line);
        }
        // The last line shows whole at the end.
        pBar->setValue(pBar->maximum());
        EXPECT_EQ(pBar->value() + pViewport->height(), pLabel->height());
        EXPECT_EQ(pLabel->height(), 7 * line);

        // A touchpad's small turns: each position on a line, and together
        // as far as a notch.
        pBar->setValue(0);
        for (int i = 0; i < 12; ++i)
        {
            Wheel(*pViewport, -10);
            ASSERT_EQ(pBar->value() % line, 0) << i;
        }
        EXPECT_EQ(pBar->value(), std::min(QApplication::wheelScrollLines(), 4) * line);
        rArea.EndWork(pWork);
    }
}

// Scrolled down to older ends, a work that starts or ends brings the top,
// where it is, back into view.
TEST(StatusAreaTest, AWorkThatStartsOrEndsIsBroughtIntoView)
{
    Window window;
    window.mWindow.resize(600, 100);
    window.mWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window.mWindow));
    StatusArea& rArea = *window.mpArea;
    for (int i = 0; i < 5; ++i)
        rArea.ShowEnd(QStringLiteral("end %1").arg(i));
    QScrollBar* pBar = ScrollArea(rArea)->verticalScrollBar();
    const int line = LineHeight(rArea);
    ASSERT_TRUE(tandriltest::WaitFor([&] { return pBar->maximum() == 2 * line; }, 5000)) << pBar->maximum();

    pBar->setValue(pBar->maximum());
    const auto pWork = Fetch(kUrl, QStringLiteral("first.zip"));
    rArea.AddWork(pWork, QStringLiteral("first"), kUrl, QStringLiteral("srv"));
    EXPECT_EQ(pBar->value(), 0);
    ASSERT_TRUE(tandriltest::WaitFor([&] { return pBar->maximum() == 3 * line; }, 5000)) << pBar->maximum();

    pBar->setValue(pBar->maximum());
    pWork->SetState(JoxCore::StateSucceeded);
    rArea.EndWork(pWork);
    EXPECT_EQ(pBar->value(), 0);
    EXPECT_TRUE(rArea.Text().startsWith(QStringLiteral("Done: first;")));
}
