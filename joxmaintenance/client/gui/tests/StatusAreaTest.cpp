#include <gui/StatusArea.h>

#include "Network.h"

#include <joxmaintenance/CommandLogFetch.h>

#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

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
