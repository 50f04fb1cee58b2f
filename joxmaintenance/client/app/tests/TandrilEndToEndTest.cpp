// The real program under Xvfb, inside the test run's private network
// namespace: a simulated media server announced by WS-Discovery, the
// operator's mouse and keys sent with xdotool, and the window closed as a
// window manager's close button does.
#include "ControllerTestSupport.h"
#include "MainWindow.h"
#include "NetnsSandbox.h"
#include "TempDir.h"
#include "WaitFor.h"
#include "X11WindowClose.h"
#include "XvfbDisplay.h"

#include <clientview/WsddConnectionWidget.h>
#include <gui/CreateLogWidget.h>
#include <gui/ListLogWidget.h>
#include <gui/WorkspaceWidget.h>
#include <joxmaintenance/LogEntry.h>
#include <styles/HarlenStyle.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using controllertest::LocalServer;
using tandriltest::WaitFor;

namespace {

const QSize kWindowSize(1400, 800);
// The window's minimum size.
const QSize kSmallestWindow(1200, 600);

// Where the operator clicks, in window coordinates, taken from a copy of the
// window laid out at the same size with the same style and contents.
struct Spots
{
    QPoint mFirstServer;
    // The first five rows of the servers list, and a spot of each row's
    // background (the channel column, empty for a maintenance server).
    QPoint mServerRow[5];
    QPoint mServerRowBackground[5];
    QPoint mSaveAs;
    QPoint mCreateTab;
    QPoint mListTab;
    QPoint mCollectionRow[3];
    QPoint mDownload;
    QPoint mDeleteAll;
    QPoint mStatusArea;
    // The servers panel's fold button, and its refresh button once unfolded.
    QPoint mServersFold;
    QPoint mServersRefresh;
};

QPoint Centre(const QWidget& rWidget, const QWidget& rWindow)
{
    return rWidget.mapTo(&rWindow, rWidget.rect().center());
}

Spots MeasureSpots(const joxmaintenance::LogEntryList& rSources, const QStringList& rCollections,
                  const QSize& rWindowSize = kWindowSize)
{
    QApplication::setStyle(new HarlenStyle());
    joxmaintenance::MainWindow window({QStringLiteral("127.0.0.1")});
    window.resize(rWindowSize);
    joxmaintenance::WorkspaceWidget* pWorkspace = window.GetWorkspace();
    auto* pCreate = pWorkspace->findChild<joxmaintenance::CreateLogWidget*>();
    pCreate->SetLogEntries(rSources);
    qobject_cast<QStackedWidget*>(pCreate->parentWidget())->setCurrentWidget(pCreate);
    auto* pList = pWorkspace->findChild<joxmaintenance::ListLogWidget*>();
    pList->SetCollections(rCollections);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));

    Spots spots;
    QAbstractItemView* pServers = window.GetServersPanel()->findChild<QAbstractItemView*>();
    spots.mFirstServer = pServers->viewport()->mapTo(&window, QPoint(pServers->viewport()->width() / 2, 8));
    const auto* pServerTable = qobject_cast<QTableView*>(pServers);
    const int rowHeight = pServerTable ? pServerTable->verticalHeader()->defaultSectionSize() : 0;
    for (int row = 0; row < 5; ++row)
    {
        spots.mServerRow[row] =
            pServers->viewport()->mapTo(&window, QPoint(pServers->viewport()->width() / 2, row * rowHeight + rowHeight / 2));
        spots.mServerRowBackground[row] =
            pServers->viewport()->mapTo(&window, QPoint(pServers->viewport()->width() - 20, row * rowHeight + rowHeight / 2));
    }
    for (QPushButton* pButton : pCreate->findChildren<QPushButton*>())
        if (pButton->text() == QStringLiteral("Save as"))
            spots.mSaveAs = Centre(*pButton, window);
    if (QWidget* pArea = pWorkspace->findChild<QWidget*>(QStringLiteral("ActivityArea")))
        spots.mStatusArea = Centre(*pArea, window);
    QTabBar* pTabs = pWorkspace->findChild<QTabBar*>();
    spots.mCreateTab = pTabs->mapTo(&window, pTabs->tabRect(0).center());
    spots.mListTab = pTabs->mapTo(&window, pTabs->tabRect(1).center());
    // The list's geometry is that of a hidden tab: show it to lay it out.
    pTabs->setCurrentIndex(1);
    QApplication::processEvents();
    QTableWidget* pTable = pList->findChild<QTableWidget*>();
    for (int row = 0; row < std::min(3, pTable->rowCount()); ++row)
        spots.mCollectionRow[row] =
            pTable->viewport()->mapTo(&window, pTable->visualItemRect(pTable->item(row, 0)).center());
    for (QPushButton* pButton : pList->findChildren<QPushButton*>())
        if (pButton->text() == QStringLiteral("Download"))
            spots.mDownload = Centre(*pButton, window);
        else if (pButton->text() == QStringLiteral("Delete all"))
            spots.mDeleteAll = Centre(*pButton, window);
    // Last: unfolded, the options push the servers list down.
    auto* pFold = window.GetServersPanel()->findChild<QAbstractButton*>(QStringLiteral("ButtonHeaderFold"));
    spots.mServersFold = Centre(*pFold, window);
    pFold->click();
    QApplication::processEvents();
    spots.mServersRefresh = Centre(*window.GetServersPanel()->findChild<QPushButton*>(QStringLiteral("ButtonRefresh")), window);
    pFold->click();
    return spots;
}

// The files of a folder, hidden ones (temporary downloads) included.
QStringList Files(const QString& rFolder)
{
    return QDir(rFolder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

class Process
{
public:
    ~Process()
    {
        if (mProcess.state() != QProcess::NotRunning)
        {
            mProcess.kill();
            mProcess.waitForFinished(5000);
        }
    }
    QProcess mProcess;
};

// Announces the server by WS-Discovery until the process ends.
void StartAnnouncer(Process& rAnnouncer, const QString& rUrl)
{
    rAnnouncer.mProcess.start(QStringLiteral(WSDDTARGET_PATH),
                              {QStringLiteral("--ip"), QStringLiteral("127.0.0.1"), QStringLiteral("--xaddrs"), rUrl,
                               QStringLiteral("--duration-ms"), QStringLiteral("300000")});
    ASSERT_TRUE(WaitFor([&] { return rAnnouncer.mProcess.canReadLine() || rAnnouncer.mProcess.waitForReadyRead(50); }, 10000));
    ASSERT_TRUE(rAnnouncer.mProcess.readLine().startsWith("READY"));
}

// Simulated servers, each with a folder of its own, in the order of their
// URLs (the order the Servers list shows them in).
struct ServerSet
{
    explicit ServerSet(std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i)
        {
            mFolders.push_back(std::make_unique<tandriltest::TempDir>());
            mServers.push_back(std::make_unique<LocalServer>(mFolders.back()->Path()));
        }
        std::sort(mServers.begin(), mServers.end(), [](const auto& rA, const auto& rB) { return rA->Url() < rB->Url(); });
    }
    bool AllRunning() const
    {
        return std::all_of(mServers.cbegin(), mServers.cend(), [](const auto& rpServer) { return rpServer->IsRunning(); });
    }
    LocalServer& operator[](std::size_t index) { return *mServers[index]; }
    // Announces every server by WS-Discovery until the set goes.
    void AnnounceAll()
    {
        for (const auto& rpServer : mServers)
        {
            mAnnouncers.push_back(std::make_unique<Process>());
            StartAnnouncer(*mAnnouncers.back(), rpServer->Url());
        }
    }

    std::vector<std::unique_ptr<tandriltest::TempDir>> mFolders;
    std::vector<std::unique_ptr<LocalServer>> mServers;
    std::vector<std::unique_ptr<Process>> mAnnouncers;
};

// Starts the program on the display with the home and data folders, and
// sizes its window; the window's id.
QString StartTandril(Process& rTandril, const tandriltest::XvfbDisplay& rScreen, const QString& rHome,
                     const QString& rData, const QSize& rWindowSize = kWindowSize)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), rScreen.Name());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("HOME"), rHome);
    environment.insert(QStringLiteral("PROGRAMDATA"), rData);
    environment.insert(QStringLiteral("TEMP"), rData);
    // libxkbcommon-x11 hands strndup reply strings that are not terminated;
    // under the sanitizer build's strict string checks that alone aborts.
    if (environment.contains(QStringLiteral("ASAN_OPTIONS")))
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           environment.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":strict_string_checks=0"));
    rTandril.mProcess.setProcessEnvironment(environment);
    rTandril.mProcess.setProcessChannelMode(QProcess::ForwardedChannels);
    rTandril.mProcess.start(QStringLiteral(TANDRIL_PATH), {});
    if (!rTandril.mProcess.waitForStarted(10000))
        return QString();
    const QString window = rScreen.FindWindow(QStringLiteral("^Tandril$"), 20000);
    if (window.isEmpty())
        return window;
    rScreen.Xdotool({QStringLiteral("windowsize"), window, QString::number(rWindowSize.width()),
                     QString::number(rWindowSize.height())});
    if (!rScreen.WaitForPainted(window, rWindowSize, 20000))
        return QString();
    return window;
}

// The program's log so far.
QString ProgramLog(const QString& rData)
{
    const QDir folder(rData + QStringLiteral("/JOX/Tandril/log"));
    QString text;
    for (const QString& rName : folder.entryList({QStringLiteral("tandril_*_pid*.txt")}, QDir::Files))
        text += QString::fromStdString(tandriltest::ReadFile(folder.filePath(rName).toStdString()));
    return text;
}

// How many collection listings the window has taken in (of any server).
int ListingsTakenIn(const QString& rData)
{
    return static_cast<int>(ProgramLog(rData).count(QStringLiteral("Command: ListLogCollections processed 2")));
}

// Waits until the window has taken in at least that many collection
// listings, so that the list page shows the last of them.
bool WaitForListings(const QString& rData, int count)
{
    return WaitFor([&] { return ListingsTakenIn(rData) >= count; }, 15000);
}

// How many downloads into the folder have bytes in their temporary files.
int DownloadsUnderWay(const QString& rFolder)
{
    int started = 0;
    for (const QFileInfo& rFile : QDir(rFolder).entryInfoList(QDir::Files | QDir::Hidden))
        started += rFile.fileName().endsWith(QStringLiteral(".part")) && rFile.size() > 0 ? 1 : 0;
    return started;
}

// Answers a question box (found by its title) with the key, once the box
// has the keyboard focus; false when no such box took it.
bool AnswerBox(const tandriltest::XvfbDisplay& rScreen, const QString& rTitle, const char* pKey = "Return")
{
    const QString box = rScreen.FindWindow(rTitle, 10000);
    if (box.isEmpty() || !rScreen.WaitForFocus(box, 10000))
        return false;
    rScreen.Xdotool({QStringLiteral("key"), QLatin1String(pKey)});
    return true;
}

// Clicks the server's row until the window asks the server for its log
// sources (the list may not show the server yet); false when it never did.
bool SelectServer(const tandriltest::XvfbDisplay& rScreen, const QString& rWindow, const QPoint& rRow,
                  const LocalServer& rServer, int timeoutMs = 30000)
{
    return WaitFor([&] {
        rScreen.Click(rWindow, rRow.x(), rRow.y());
        return WaitFor([&] { return rServer.Count("LogList") > 0; }, 1000);
    }, timeoutMs);
}

// Turns the mouse wheel down over the spot (the status area scrolls on).
void WheelDown(const tandriltest::XvfbDisplay& rScreen, const QString& rWindow, const QPoint& rSpot)
{
    rScreen.Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), rWindow, QString::number(rSpot.x()),
                     QString::number(rSpot.y()), QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("3"),
                     QStringLiteral("5")});
}

// A picture of the screen into $TANDRIL_SCREENSHOT_DIR, when that is set,
// once what was being drawn has been drawn.
void Screenshot(const tandriltest::XvfbDisplay& rScreen, const char* pName)
{
    const QString folder = qEnvironmentVariable("TANDRIL_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    rScreen.WaitForSettledScreen(5000);
    EXPECT_TRUE(rScreen.SaveScreen(folder + QLatin1Char('/') + QLatin1String(pName) + QStringLiteral(".png")));
}

// The program on a display of its own, with its home folder (where the
// operator's folder questions start, so the target of downloads) and its
// data folder (its log).
struct Session
{
    tandriltest::XvfbDisplay mScreen;
    tandriltest::TempDir mHome;
    const QString mTarget = QString::fromStdString(mHome.Path());
    tandriltest::TempDir mData;
    const QString mDataFolder = QString::fromStdString(mData.Path());
    Process mTandril;
    QString mWindow;

    // Starts the display and the program; false when either did not start.
    bool Start(const QSize& rWindowSize = kWindowSize)
    {
        if (!mScreen.Start())
            return false;
        mWindow = StartTandril(mTandril, mScreen, mTarget, mDataFolder, rWindowSize);
        return !mWindow.isEmpty();
    }
    // Closes the window as its close button does and expects the program to
    // end at once with exit code 0.
    void CloseAndExpectExitZero()
    {
        ASSERT_TRUE(tandriltest::SendDeleteWindow(mScreen.Name().toStdString(), mWindow.toULong()));
        ASSERT_TRUE(mTandril.mProcess.waitForFinished(20000));
        EXPECT_EQ(mTandril.mProcess.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(mTandril.mProcess.exitCode(), 0);
    }
};

// Each test runs in a network namespace of its own, on a display of its own.
class TandrilEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TANDRIL_REQUIRE_PRIVATE_NETNS();
        if (!tandriltest::XvfbDisplay::MissingTools().isEmpty())
            GTEST_SKIP() << tandriltest::XvfbDisplay::MissingTools().toStdString();
    }
};

} // namespace

TEST_F(TandrilEndToEndTest, OperatorGathersDownloadsAndClosesTheWindowDuringADownload)
{
    // The simulated server and its announcement.
    tandriltest::TempDir serverFolder;
    LocalServer server(serverFolder.Path());
    ASSERT_TRUE(server.IsRunning());
    const joxmaintenance::LogEntryList sources = {joxmaintenance::LogEntry("systemlogs", "2026-01-01T00:00:00", 3600),
                                                  joxmaintenance::LogEntry("quorelagentlogs", "2026-01-01T00:30:00", 600)};
    server->SetLogSources({{"systemlogs", "2026-01-01T00:00:00", 3600}, {"quorelagentlogs", "2026-01-01T00:30:00", 600}});
    ASSERT_TRUE(server->AddCollection("0-small.zip", "the small collection"));
    ASSERT_TRUE(server->AddCollection("1-big.zip", std::string(8 * 1024 * 1024, 'b')));
    Process announcer;
    StartAnnouncer(announcer, server.Url());
    if (HasFatalFailure())
        return;

    Session session;
    auto& [screen, home, target, data, dataFolder, tandril, window] = session;
    ASSERT_TRUE(session.Start());

    const Spots spots = MeasureSpots(sources, {QStringLiteral("0-small.zip"), QStringLiteral("1-big.zip")});
    const auto click = [&](const QPoint& rSpot) { screen.Click(window, rSpot.x(), rSpot.y()); };
    const auto folderQuestionShown = [&](int timeoutMs) {
        return !screen.FindWindow(QStringLiteral("Save log file into"), timeoutMs).isEmpty();
    };
    // Answers the folder question with the folder it starts in.
    const auto answerFolderQuestion = [&] { ASSERT_TRUE(AnswerBox(screen, QStringLiteral("Save log file into"))); };

    // The announced server appears in the "Servers" panel; selecting it
    // asks for its log sources.
    ASSERT_TRUE(SelectServer(screen, window, spots.mFirstServer, server)) << "the simulated server was never selected";

    // "Save as", once the sources are shown below which it sits: the server
    // builds a collection that streams into the folder.
    ASSERT_TRUE(WaitFor([&] {
        click(spots.mSaveAs);
        return folderQuestionShown(2000);
    }, 20000));
    answerFolderQuestion();
    ASSERT_TRUE(WaitFor([&] { return Files(target) == QStringList({QStringLiteral("collection_1.zip")}); }, 15000))
        << Files(target).join(QLatin1Char(' ')).toStdString();
    const QString gathered = QString::fromStdString(tandriltest::ReadFile(home.File("collection_1.zip")));
    EXPECT_TRUE(gathered.contains(QStringLiteral("systemlogs 2026-01-01T00:00:00 3600"))) << gathered.toStdString();
    EXPECT_TRUE(gathered.contains(QStringLiteral("quorelagentlogs"))) << gathered.toStdString();

    // The next collection poll shows the new collection below the two
    // others; then one is downloaded from the list page.
    const int listings = server.Count("LogListCollections");
    ASSERT_TRUE(WaitFor([&] { return server.Count("LogListCollections") > listings; }, 15000));
    ASSERT_TRUE(WaitForListings(dataFolder, server.Count("LogListCollections")));
    click(spots.mListTab);
    click(spots.mCollectionRow[0]);
    click(spots.mDownload);
    answerFolderQuestion();
    ASSERT_TRUE(WaitFor([&] { return Files(target).contains(QStringLiteral("0-small.zip")); }, 15000))
        << Files(target).join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(tandriltest::ReadFile(home.File("0-small.zip")), "the small collection");

    // A slow download under way when the window is closed.
    server->SetAttachmentRate(512 * 1024);
    click(spots.mCollectionRow[1]);
    click(spots.mDownload);
    answerFolderQuestion();
    ASSERT_TRUE(WaitFor([&] { return server.Count("LogFetchCollection") == 2 && DownloadsUnderWay(target) == 1; }, 15000));
    QElapsedTimer closing;
    closing.start();
    session.CloseAndExpectExitZero();
    const qint64 closeMs = closing.elapsed();
    // Bounded shutdown, and the interrupted download leaves nothing behind.
    EXPECT_LT(closeMs, 4000);
    EXPECT_EQ(Files(target).join(QLatin1Char(' ')).toStdString(), "0-small.zip collection_1.zip");
    std::printf("window closed to process end: %lld ms\n", static_cast<long long>(closeMs));
}

TEST_F(TandrilEndToEndTest, PagesWaitWorkShowsAndTheHighlightedServerIsTheOneActedOn)
{
    // Two servers; the one listed first never answers its collection
    // listing, fails its status poll and builds collections slowly.
    ServerSet servers(2);
    ASSERT_TRUE(servers.AllRunning());
    LocalServer* pSilent = &servers[0];
    LocalServer* pOther = &servers[1];
    const joxmaintenance::LogEntryList sources = {joxmaintenance::LogEntry("systemlogs", "2026-01-01T00:00:00", 3600)};
    for (LocalServer* pServer : {pSilent, pOther})
    {
        (*pServer)->SetLogSources({{"systemlogs", "2026-01-01T00:00:00", 3600}});
        ASSERT_TRUE((*pServer)->AddCollection("0-small.zip", "the small collection"));
    }
    ASSERT_TRUE((*pOther)->AddCollection("1-big.zip", std::string(6000, 'b')));
    (*pSilent)->SetFault("LogListCollections", simserver::Fault::Silent);
    (*pSilent)->SetFault("LogStatus", simserver::Fault::HttpError);
    (*pSilent)->SetBuildDelay(std::chrono::milliseconds(8000));
    servers.AnnounceAll();
    if (HasFatalFailure())
        return;

    Session session;
    auto& [screen, home, target, data, dataFolder, tandril, window] = session;
    ASSERT_TRUE(session.Start());
    const Spots spots = MeasureSpots(sources, {QStringLiteral("0-small.zip"), QStringLiteral("1-big.zip")});
    const auto click = [&](const QPoint& rSpot) { screen.Click(window, rSpot.x(), rSpot.y()); };
    const auto key = [&](const char* pKey) { screen.Xdotool({QStringLiteral("key"), QLatin1String(pKey)}); };

    // Both servers listed, the silent one first; selecting it.
    ASSERT_TRUE(SelectServer(screen, window, spots.mFirstServer, *pSilent)) << "the first server was never selected";
    ASSERT_TRUE(WaitFor([&] { return pSilent->Count("LogStatus") > 0; }, 15000));

    // 1: nothing has answered the listing: the pages say they wait; the
    // status poll fails: the job status page says so, and why (the log
    // records what the operator is shown).
    ASSERT_TRUE(WaitFor([&] { return ProgramLog(dataFolder).contains(QStringLiteral("Waiting for server")); }, 10000));
    ASSERT_TRUE(WaitFor([&] {
        const QString log = ProgramLog(dataFolder);
        return log.contains(QStringLiteral("Job status page: the jobs of server")) &&
               log.contains(pSilent->Url() + QStringLiteral(") could not be queried: The server answered with HTTP status 503."));
    }, 15000));
    click(spots.mListTab);
    Screenshot(screen, "1-list-page-waits");
    EXPECT_EQ(pOther->Count("LogList"), 0);

    // 2: "Save as" on the slow server; a second "Save as" while it builds
    // starts no second build and says one is running; the status line
    // shows the gather until it ends, and where the file went.
    click(spots.mCreateTab);
    ASSERT_TRUE(WaitFor([&] {
        click(spots.mSaveAs);
        return !screen.FindWindow(QStringLiteral("Save log file into"), 2000).isEmpty();
    }, 20000));
    ASSERT_TRUE(AnswerBox(screen, QStringLiteral("Save log file into")));
    ASSERT_TRUE(WaitFor([&] { return pSilent->Count("LogCreateAndFetchCollection") == 1; }, 10000));
    click(spots.mSaveAs);
    ASSERT_FALSE(screen.FindWindow(QStringLiteral("^Already Running$"), 5000).isEmpty());
    EXPECT_TRUE(screen.FindWindow(QStringLiteral("Save log file into"), 200).isEmpty());
    Screenshot(screen, "2-gather-runs-second-refused");
    ASSERT_TRUE(AnswerBox(screen, QStringLiteral("^Already Running$")));
    EXPECT_TRUE(ProgramLog(dataFolder).contains(QStringLiteral("Status line: Running: Gathering logs from server")));
    ASSERT_TRUE(WaitFor([&] { return Files(target) == QStringList({QStringLiteral("collection_1.zip")}); }, 20000))
        << Files(target).join(QLatin1Char(' ')).toStdString();
    ASSERT_TRUE(WaitFor([&] {
        return ProgramLog(dataFolder).contains(QStringLiteral("; saved as \"%1/collection_1.zip\".").arg(target));
    }, 10000));
    EXPECT_EQ(pSilent->Count("LogCreateAndFetchCollection"), 1);
    Screenshot(screen, "2-gather-done");

    // 3: the arrow key moves the highlight to the other server, and the
    // pages act on it: "Delete all" reaches that one only.
    // The press and the key reach the window in this order.
    click(spots.mFirstServer);
    key("Down");
    ASSERT_TRUE(WaitFor([&] { return pOther->Count("LogList") > 0; }, 10000));
    ASSERT_TRUE(WaitFor([&] { return pOther->Count("LogListCollections") > 0; }, 10000));
    // The silent server never lists its collections.
    ASSERT_TRUE(WaitForListings(dataFolder, 1));
    click(spots.mListTab);
    Screenshot(screen, "3-keyboard-selected-second-server");
    // 2, a download: a second click on "Download" while it runs starts no
    // second download and asks for no folder; its end names the file.
    (*pOther)->SetAttachmentRate(1500);
    click(spots.mCollectionRow[1]);
    click(spots.mDownload);
    ASSERT_TRUE(AnswerBox(screen, QStringLiteral("Save log file into")));
    ASSERT_TRUE(WaitFor([&] { return pOther->Count("LogFetchCollection") == 1; }, 10000));
    click(spots.mCollectionRow[1]);
    click(spots.mDownload);
    ASSERT_FALSE(screen.FindWindow(QStringLiteral("^Already Running$"), 5000).isEmpty());
    EXPECT_TRUE(screen.FindWindow(QStringLiteral("Save log file into"), 200).isEmpty());
    ASSERT_TRUE(AnswerBox(screen, QStringLiteral("^Already Running$")));
    if (WaitFor([&] { return DownloadsUnderWay(target) == 1; }, 10000))
        Screenshot(screen, "2-download-shows-bytes-received");
    ASSERT_TRUE(WaitFor([&] {
        return ProgramLog(dataFolder).contains(QStringLiteral("; saved as \"%1/1-big.zip\".").arg(target));
    }, 15000));
    EXPECT_EQ(pOther->Count("LogFetchCollection"), 1);
    EXPECT_EQ(tandriltest::ReadFile(home.File("1-big.zip")), std::string(6000, 'b'));

    click(spots.mDeleteAll);
    ASSERT_TRUE(WaitFor([&] { return pOther->Count("LogDeleteAllCollections") == 1; }, 10000));
    EXPECT_EQ(pSilent->Count("LogDeleteAllCollections"), 0);
    EXPECT_EQ((*pSilent)->GetCollections().size(), 2u);

    session.CloseAndExpectExitZero();
}

// Other servers' trouble touches neither the operator's download nor the
// polling of the selected server: a silent server visited before, and a
// server that refuses connections selected during the download.
TEST_F(TandrilEndToEndTest, ADownloadSurvivesLeavingItsServerAndASilentServerDelaysNoOther)
{
    // Listed in the order of their URLs: three silent ones, the healthy one,
    // the refusing one.
    ServerSet servers(5);
    ASSERT_TRUE(servers.AllRunning());
    const std::vector<LocalServer*> silent = {&servers[0], &servers[1], &servers[2]};
    LocalServer& rHealthy = servers[3];
    LocalServer& rRefusing = servers[4];
    const joxmaintenance::LogEntryList sources = {joxmaintenance::LogEntry("systemlogs", "2026-01-01T00:00:00", 3600)};
    for (std::size_t i = 0; i < 4; ++i)
    {
        servers[i]->SetLogSources({{"systemlogs", "2026-01-01T00:00:00", 3600}});
        ASSERT_TRUE(servers[i]->AddCollection("0-small.zip", "the small collection"));
    }
    const std::string big(60000, 'b');
    ASSERT_TRUE(rHealthy->AddCollection("1-big.zip", big));
    rHealthy->SetJobs({{"{job-1}", "10.0.0.9", "ct_collectlog", "cs_running", 40.0, 0, std::string("halfway"), {}}});
    // They answer their information query, so they are polled; then nothing.
    for (LocalServer* pSilent : silent)
        for (const char* pOperation : {"LogStatus", "LogListCollections", "LogList"})
            (*pSilent)->SetFault(pOperation, simserver::Fault::Silent);
    // Nothing listens there any more: connections are refused.
    rRefusing->Stop();
    servers.AnnounceAll();
    if (HasFatalFailure())
        return;

    Session session;
    auto& [screen, home, target, data, dataFolder, tandril, window] = session;
    ASSERT_TRUE(session.Start());
    const Spots spots = MeasureSpots(sources, {QStringLiteral("0-small.zip"), QStringLiteral("1-big.zip")});
    const auto click = [&](const QPoint& rSpot) { screen.Click(window, rSpot.x(), rSpot.y()); };

    // The silent servers first: the information query of each is answered,
    // and its polls are sent and never answered.
    for (int row = 0; row < 3; ++row)
    {
        LocalServer& rSilent = *silent[static_cast<std::size_t>(row)];
        ASSERT_TRUE(SelectServer(screen, window, spots.mServerRow[row], rSilent)) << "silent server " << row << " was never selected";
        ASSERT_TRUE(WaitFor([&] { return rSilent.Count("LogStatus") > 0; }, 15000)) << "silent server " << row;
    }

    // The healthy server: its jobs are shown within 10 s and polled every 5 s.
    QElapsedTimer selected;
    ASSERT_TRUE(WaitFor([&] {
        selected.start();
        click(spots.mServerRow[3]);
        return WaitFor([&] { return rHealthy.Count("LogList") > 0; }, 1000);
    }, 30000)) << "the healthy server was never selected";
    const QString shown = QStringLiteral("Job status page: the jobs of server ");
    const QString shownEnd = rHealthy.Url() + QStringLiteral(") are shown.");
    ASSERT_TRUE(WaitFor([&] {
        const QString log = ProgramLog(dataFolder);
        return log.contains(shown) && log.contains(shownEnd);
    }, 30000));
    const qint64 shownMs = selected.elapsed();
    EXPECT_LT(shownMs, 10000);
    const int polls = rHealthy.Count("LogStatus");
    QElapsedTimer refreshing;
    refreshing.start();
    ASSERT_TRUE(WaitFor([&] { return rHealthy.Count("LogStatus") >= polls + 2; }, 20000));
    const qint64 twoRefreshesMs = refreshing.elapsed();
    EXPECT_LT(twoRefreshesMs, 12000);
    click(spots.mListTab);
    Screenshot(screen, "4-current-server-polled-beside-a-silent-one");

    // A slow download from it, then the refusing server is selected: that
    // one is left for not answering, and the download runs on to its end.
    rHealthy->SetAttachmentRate(6000);
    click(spots.mCollectionRow[1]);
    click(spots.mDownload);
    ASSERT_TRUE(AnswerBox(screen, QStringLiteral("Save log file into")));
    ASSERT_TRUE(WaitFor([&] { return rHealthy.Count("LogFetchCollection") == 1 && !Files(target).isEmpty(); }, 10000));
    const QString left = rRefusing.Url() + QStringLiteral(") was left: its log sources could not be listed. Could not "
                                                          "connect to the server: Connection refused.");
    const QString leftBare = rRefusing.Url() + QStringLiteral(" was left: its log sources could not be listed. Could not "
                                                              "connect to the server: Connection refused.");
    ASSERT_TRUE(WaitFor([&] {
        click(spots.mServerRow[4]);
        return WaitFor([&] {
            const QString log = ProgramLog(dataFolder);
            return log.contains(left) || log.contains(leftBare);
        }, 2000);
    }, 20000)) << "the refusing server was never selected";
    EXPECT_FALSE(Files(target).contains(QStringLiteral("1-big.zip"))) << "the download ended before the server was left";
    Screenshot(screen, "4-download-runs-after-its-server-was-left");
    ASSERT_TRUE(WaitFor([&] {
        return ProgramLog(dataFolder).contains(QStringLiteral("; saved as \"%1/1-big.zip\".").arg(target));
    }, 20000)) << Files(target).join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(Files(target), QStringList({QStringLiteral("1-big.zip")}));
    EXPECT_EQ(tandriltest::ReadFile(home.File("1-big.zip")), big);
    EXPECT_EQ(rHealthy.Count("LogFetchCollection"), 1);
    std::printf("jobs shown %lld ms after selecting; two more polls in %lld ms\n", static_cast<long long>(shownMs),
                static_cast<long long>(twoRefreshesMs));

    session.CloseAndExpectExitZero();
}

// A download that fails after the operator has turned to another server,
// which was left as well: the status line shows the failure with its
// reason below the note why the other server was left, and the failure has
// a box of its own beside the other server's.
TEST_F(TandrilEndToEndTest, ADownloadThatFailsAfterItsServerWasLeftShowsItsReason)
{
    // Listed in the order of their URLs: the download's server, then the
    // refusing one.
    ServerSet servers(2);
    ASSERT_TRUE(servers.AllRunning());
    LocalServer& rSource = servers[0];
    LocalServer& rRefusing = servers[1];
    const joxmaintenance::LogEntryList sources = {joxmaintenance::LogEntry("systemlogs", "2026-01-01T00:00:00", 3600)};
    rSource->SetLogSources({{"systemlogs", "2026-01-01T00:00:00", 3600}});
    ASSERT_TRUE(rSource->AddCollection("0-small.zip", "the small collection"));
    ASSERT_TRUE(rSource->AddCollection("1-big.zip", std::string(60000, 'b')));
    rRefusing->Stop();
    servers.AnnounceAll();
    if (HasFatalFailure())
        return;

    Session session;
    auto& [screen, home, target, data, dataFolder, tandril, window] = session;
    ASSERT_TRUE(session.Start());
    const Spots spots = MeasureSpots(sources, {QStringLiteral("0-small.zip"), QStringLiteral("1-big.zip")});
    const auto click = [&](const QPoint& rSpot) { screen.Click(window, rSpot.x(), rSpot.y()); };

    ASSERT_TRUE(SelectServer(screen, window, spots.mServerRow[0], rSource)) << "the download's server was never selected";
    ASSERT_TRUE(WaitFor([&] { return rSource.Count("LogListCollections") > 0; }, 15000));
    ASSERT_TRUE(WaitForListings(dataFolder, 1));
    click(spots.mListTab);
    rSource->SetAttachmentRate(2000);
    click(spots.mCollectionRow[1]);
    click(spots.mDownload);
    ASSERT_TRUE(AnswerBox(screen, QStringLiteral("Save log file into")));
    ASSERT_TRUE(WaitFor([&] { return rSource.Count("LogFetchCollection") == 1 && !Files(target).isEmpty(); }, 10000));

    // The refusing server: left, saying why.
    const QString left = QStringLiteral(" was left: its log sources could not be listed. Could not connect to the "
                                        "server: Connection refused. Select it in the Servers list to try again.");
    ASSERT_TRUE(WaitFor([&] {
        click(spots.mServerRow[1]);
        return WaitFor([&] { return ProgramLog(dataFolder).contains(rRefusing.Url() + QStringLiteral(")") + left) ||
                                    ProgramLog(dataFolder).contains(rRefusing.Url() + left); },
                       2000);
    }, 20000)) << "the refusing server was never selected";
    // One box for its outage, titled after what failed first.
    const auto boxes = [&] {
        const QString found = screen.Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                              QStringLiteral("^(Connection Error|Request Failed)$")});
        return found.isEmpty() ? 0 : static_cast<int>(found.count(QLatin1Char('\n'))) + 1;
    };
    ASSERT_TRUE(WaitFor([&] { return boxes() == 1; }, 5000)) << boxes();

    // The download's server goes away: the download fails, and says why.
    rSource->Stop();
    const QString failed = QStringLiteral("Failed: Downloading log package \"1-big.zip\" from server ");
    const QString reason = QStringLiteral(": The server closed the connection before its reply was complete.");
    ASSERT_TRUE(WaitFor([&] {
        const QString log = ProgramLog(dataFolder);
        return log.contains(failed) && log.contains(target + QStringLiteral("\"") + reason);
    }, 20000));
    // A box of its own beside that one.
    ASSERT_TRUE(WaitFor([&] { return boxes() == 2; }, 5000)) << boxes();
    EXPECT_TRUE(Files(target).isEmpty()) << Files(target).join(QLatin1Char(' ')).toStdString();
    Screenshot(screen, "6-download-fails-after-its-server-was-left");
    // The wheel over the area brings the rest of the failure's line into view.
    WheelDown(screen, window, spots.mStatusArea);
    Screenshot(screen, "6-download-fails-after-its-server-was-left-scrolled");

    session.CloseAndExpectExitZero();
}

// The selected server sends Bye: its row goes, no other row takes the
// highlight, and the window leaves the server, so "Delete all" deletes
// nothing until the operator has chosen another server, and then on that
// one alone.
TEST_F(TandrilEndToEndTest, TheSelectedServerLeavesTheListAndDeleteAllReachesNoOtherServer)
{
    ServerSet servers(2);
    ASSERT_TRUE(servers.AllRunning());
    LocalServer& rLeaving = servers[0];
    LocalServer& rNext = servers[1];
    const joxmaintenance::LogEntryList sources = {joxmaintenance::LogEntry("systemlogs", "2026-01-01T00:00:00", 3600)};
    const QStringList collections = {QStringLiteral("0-a.zip"), QStringLiteral("1-b.zip"), QStringLiteral("2-c.zip"),
                                     QStringLiteral("3-d.zip")};
    for (LocalServer* pServer : {&rLeaving, &rNext})
    {
        (*pServer)->SetLogSources({{"systemlogs", "2026-01-01T00:00:00", 3600}});
        for (const QString& rName : collections)
            ASSERT_TRUE((*pServer)->AddCollection(rName.toStdString(), "content of " + rName.toStdString()));
    }
    servers.AnnounceAll();
    if (HasFatalFailure())
        return;

    Session session;
    auto& [screen, home, target, data, dataFolder, tandril, window] = session;
    ASSERT_TRUE(session.Start());
    const Spots spots = MeasureSpots(sources, collections);
    const auto click = [&](const QPoint& rSpot) { screen.Click(window, rSpot.x(), rSpot.y()); };
    // The colour of a server row's background as the window shows it now.
    const auto background = [&](int row) {
        const QImage image = screen.GrabWindow(window);
        return image.isNull() ? QColor() : image.pixelColor(spots.mServerRowBackground[row]);
    };

    // Both listed; the first selected, its collections listed.
    ASSERT_TRUE(WaitFor([&] { return ProgramLog(dataFolder).contains(QStringLiteral("Added service %1").arg(rNext.Url())); },
                        30000));
    ASSERT_TRUE(SelectServer(screen, window, spots.mServerRow[0], rLeaving)) << "the first server was never selected";
    ASSERT_TRUE(WaitFor([&] { return rLeaving.Count("LogListCollections") > 0; }, 10000));
    click(spots.mListTab);
    // Highlighted and plain rows look different.
    QColor highlighted;
    QColor plain;
    ASSERT_TRUE(WaitFor([&] {
        highlighted = background(0);
        plain = background(1);
        return highlighted.isValid() && plain.isValid() && highlighted != plain;
    }, 10000));
    Screenshot(screen, "6-first-server-selected");

    // A refresh lists both again at once: the first stays highlighted and
    // the window on it; its polls go on past the time a refill is given.
    const auto listedTimes = [&](const QString& rUrl) {
        return ProgramLog(dataFolder).count(QStringLiteral("Added service %1").arg(rUrl));
    };
    const int listed = listedTimes(rLeaving.Url());
    const auto refreshSpot = [&] {
        const QImage image = screen.GrabWindow(window);
        return image.isNull() ? QColor() : image.pixelColor(spots.mServersRefresh);
    };
    const QColor folded = refreshSpot();
    click(spots.mServersFold);
    ASSERT_TRUE(WaitFor([&] { return refreshSpot() != folded; }, 5000)) << "the options did not unfold";
    // Once laid out, the button refreshes.
    QElapsedTimer refreshed;
    ASSERT_TRUE(WaitFor([&] {
        refreshed.start();
        click(spots.mServersRefresh);
        return WaitFor([&] { return listedTimes(rLeaving.Url()) > listed; }, 1000);
    }, 10000)) << "the refresh did not list the server again";
    const qint64 relistedMs = refreshed.elapsed();
    click(spots.mServersFold);
    ASSERT_TRUE(WaitFor([&] { return background(0) == highlighted && background(1) == plain; }, 5000));
    const int polls = rLeaving.Count("LogStatus");
    ASSERT_TRUE(WaitFor([&] { return refreshed.elapsed() > 3000 && rLeaving.Count("LogStatus") > polls; }, 15000));
    EXPECT_FALSE(ProgramLog(dataFolder).contains(QStringLiteral("is no longer in the Servers list")));
    EXPECT_EQ(background(0), highlighted);
    std::printf("listed again %lld ms after the refresh\n", static_cast<long long>(relistedMs));

    // Its Bye: its row goes, and the next server, now in the first row, is
    // not highlighted; the window leaves the server and says so.
    servers.mAnnouncers[0]->mProcess.terminate();
    ASSERT_TRUE(servers.mAnnouncers[0]->mProcess.waitForFinished(10000));
    ASSERT_TRUE(WaitFor([&] {
        return ProgramLog(dataFolder).contains(QStringLiteral("Removed service %1").arg(rLeaving.Url()));
    }, 10000));
    EXPECT_TRUE(WaitFor([&] { return background(0) == plain; }, 5000))
        << "the first row shows " << background(0).name().toStdString() << ", not " << plain.name().toStdString();
    Screenshot(screen, "6-selected-server-left-the-list");
    ASSERT_TRUE(WaitFor([&] {
        const QString log = ProgramLog(dataFolder);
        return log.contains(rLeaving.Url() + QStringLiteral(") is no longer in the Servers list and was left")) ||
               log.contains(rLeaving.Url() + QStringLiteral(" is no longer in the Servers list and was left"));
    }, 10000)) << "the server that left the list was not left";

    // "Delete all" reaches neither server now; chosen next, the other server
    // is the one it deletes on.
    click(spots.mDeleteAll);
    ASSERT_TRUE(SelectServer(screen, window, spots.mServerRow[0], rNext, 20000)) << "the next server was never selected";
    ASSERT_TRUE(WaitFor([&] { return rNext.Count("LogListCollections") > 0 && background(0) == highlighted; }, 10000));
    ASSERT_TRUE(WaitFor([&] {
        click(spots.mDeleteAll);
        return WaitFor([&] { return rNext.Count("LogDeleteAllCollections") > 0; }, 1000);
    }, 10000));
    ASSERT_TRUE(WaitFor([&] { return rNext->GetCollections().empty(); }, 10000));
    EXPECT_EQ(rLeaving.Count("LogDeleteAllCollections"), 0);
    EXPECT_EQ(rLeaving->GetCollections().size(), 4u);
    EXPECT_EQ(rNext.Count("LogDeleteAllCollections"), 1);

    session.CloseAndExpectExitZero();
}

// At the window's minimum size, two downloads under way are both shown with
// how far they have come.
TEST_F(TandrilEndToEndTest, StatusAreaAtTheSmallestWindowShowsEveryRunningWork)
{
    tandriltest::TempDir serverFolder;
    LocalServer server(serverFolder.Path());
    ASSERT_TRUE(server.IsRunning());
    const joxmaintenance::LogEntryList sources = {joxmaintenance::LogEntry("systemlogs", "2026-01-01T00:00:00", 3600)};
    server->SetLogSources({{"systemlogs", "2026-01-01T00:00:00", 3600}});
    // The third, of a name far wider than any box should be, is here already.
    QString longName = QStringLiteral("2-");
    while (longName.size() < 200)
        longName += QStringLiteral("a-collection-whose-name-runs-on-");
    longName += QStringLiteral(".zip");
    const QStringList collections = {QStringLiteral("0-first-of-two-slow-downloads.zip"),
                                     QStringLiteral("1-second-of-two-slow-downloads.zip"), longName};
    for (const QString& rName : collections)
        ASSERT_TRUE(server->AddCollection(rName.toStdString(), std::string(200 * 1024, 'c')));
    Process announcer;
    StartAnnouncer(announcer, server.Url());
    if (HasFatalFailure())
        return;

    Session session;
    auto& [screen, home, target, data, dataFolder, tandril, window] = session;
    tandriltest::WriteFile(home.File(longName.toStdString()), "here already");
    ASSERT_TRUE(session.Start(kSmallestWindow));
    const Spots spots = MeasureSpots(sources, collections, kSmallestWindow);
    const auto click = [&](const QPoint& rSpot) { screen.Click(window, rSpot.x(), rSpot.y()); };

    ASSERT_TRUE(SelectServer(screen, window, spots.mFirstServer, server)) << "the simulated server was never selected";
    ASSERT_TRUE(WaitFor([&] { return server.Count("LogListCollections") > 0; }, 15000));
    ASSERT_TRUE(WaitForListings(dataFolder, 1));
    click(spots.mListTab);

    // The collection that exists here is not downloaded: the box that says
    // so wraps its name within two thirds of the screen.
    click(spots.mCollectionRow[2]);
    click(spots.mDownload);
    ASSERT_TRUE(AnswerBox(screen, QStringLiteral("Save log file into")));
    const QString box = screen.FindWindow(QStringLiteral("^Download Error$"), 10000);
    ASSERT_FALSE(box.isEmpty());
    const QRegularExpressionMatch geometry = QRegularExpression(QStringLiteral("Geometry: (\\d+)x(\\d+)"))
                                                 .match(screen.Xdotool({QStringLiteral("getwindowgeometry"), box}));
    ASSERT_TRUE(geometry.hasMatch());
    EXPECT_LE(geometry.captured(1).toInt(), screen.Xdotool({QStringLiteral("getdisplaygeometry")}).section(QLatin1Char(' '), 0, 0).toInt() * 2 / 3);
    Screenshot(screen, "5-smallest-window-exists-locally-box");
    ASSERT_TRUE(AnswerBox(screen, QStringLiteral("^Download Error$")));
    ASSERT_TRUE(WaitFor([&] { return screen.FindWindow(QStringLiteral("^Download Error$"), 100).isEmpty(); }, 5000));

    // Both other collections, slowly: some 20 s each.
    server->SetAttachmentRate(10 * 1024);
    click(spots.mCollectionRow[0]);
    click(spots.mCollectionRow[1]);
    click(spots.mDownload);
    ASSERT_TRUE(AnswerBox(screen, QStringLiteral("Save log file into")));
    ASSERT_TRUE(WaitFor([&] { return server.Count("LogFetchCollection") == 2; }, 10000));
    // Both have bytes in their temporary files; the line shows them at its
    // next refresh, once a second.
    ASSERT_TRUE(WaitFor([&] { return DownloadsUnderWay(target) == 2; }, 10000))
        << Files(target).join(QLatin1Char(' ')).toStdString();
    Screenshot(screen, "4-smallest-window-two-downloads-run");
    // The wheel over the area brings the older work into view.
    WheelDown(screen, window, spots.mStatusArea);
    Screenshot(screen, "4-smallest-window-two-downloads-run-scrolled");

    session.CloseAndExpectExitZero();
}
