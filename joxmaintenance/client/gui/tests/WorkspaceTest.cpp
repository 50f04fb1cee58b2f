#include <gui/CreateLogWidget.h>
#include <gui/ListLogStatusWidget.h>
#include <gui/ListLogWidget.h>
#include <gui/LogEntryWidget.h>
#include <gui/WorkspaceWidget.h>

#include "ControllerTestSupport.h"
#include "ModalDriver.h"
#include "NetnsSandbox.h"
#include "ProcessResources.h"
#include "TempDir.h"
#include "WaitFor.h"

#include <joxconfig/LocalIpMatcher.h>
#include <joxmaintenance/CommandListAvailableLogs.h>
#include <joxmaintenance/CommandListLogCollections.h>
#include <joxmaintenance/CommandPollWorker.h>
#include <joxmaintenance/MaintenanceController.h>
#include <joxmaintenance/ServerConnection.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include <boost/make_shared.hpp>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace joxmaintenance;
using controllertest::LocalServer;
using controllertest::LogCapture;
using joxguitest::ModalDriver;
using tandriltest::DescriptorLimit;
using tandriltest::ProcessEntries;
using tandriltest::WaitFor;

namespace {

// Treats the given URLs as the ones on a local subnet.
class FixedMatcher : public JoxConfig::LocalIpMatcher
{
public:
    explicit FixedMatcher(std::list<std::string> urls)
        : mUrls(std::move(urls))
    {
    }
    std::list<std::string> DetermineMatchingUrls(const std::list<std::string>&) const override { return mUrls; }

private:
    std::list<std::string> mUrls;
};

// A server that accepts connections and never answers: a socket that
// listens and never accepts. The kernel completes each handshake and keeps
// the connection in its queue, which costs this process no descriptor.
class SilentListener
{
public:
    SilentListener(const char* pAddress, int port)
        : mSocket(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        const bool listening = mSocket >= 0 && ::inet_pton(AF_INET, pAddress, &address.sin_addr) == 1 &&
                               ::bind(mSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                               ::listen(mSocket, 4096) == 0;
        if (!listening && mSocket >= 0)
        {
            ::close(mSocket);
            mSocket = -1;
        }
    }
    ~SilentListener()
    {
        if (mSocket >= 0)
            ::close(mSocket);
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    bool IsListening() const { return mSocket >= 0; }

private:
    int mSocket;
};

JoxWsdd::WebServiceInfoPtr Service(const QString& rUrl, const QString& rName,
                                   const std::list<std::string>& rMatching = {})
{
    auto pService = boost::make_shared<JoxWsdd::WebServiceInfo>(rUrl, false, JoxWsdd::WebServiceInfo::ServiceTypeMaintenance);
    pService->SetDisplayName(rName);
    pService->SetServiceVersion("1.0");
    pService->SetSoftwareVersion("2.3");
    if (!rMatching.empty())
    {
        FixedMatcher matcher(rMatching);
        pService->DetermineMatchingUrls(&matcher);
    }
    return pService;
}

// A workspace whose folder question answers with a fixed folder, after
// what happens while the dialog is open.
class TestWorkspace : public WorkspaceWidget
{
public:
    QString mFolder;
    int mAsked = 0;
    std::function<void()> mWhileAsked;

protected:
    QString ChooseFolder() override
    {
        ++mAsked;
        if (mWhileAsked)
            mWhileAsked();
        return mFolder;
    }
};

QString ServerLabel(const WorkspaceWidget& rWorkspace)
{
    for (QLabel* pLabel : rWorkspace.findChildren<QLabel*>())
    {
        if (pLabel->text().startsWith(QStringLiteral("Current server: ")) || pLabel->text().isEmpty())
        {
            if (pLabel->parentWidget() == &rWorkspace)
                return pLabel->text();
        }
    }
    return QStringLiteral("<none>");
}

bool PromptShown(const WorkspaceWidget& rWorkspace)
{
    for (QLabel* pLabel : rWorkspace.findChildren<QLabel*>())
    {
        if (pLabel->text() != QStringLiteral("Choose a server to start log collecting."))
            continue;
        QStackedWidget* pStack = qobject_cast<QStackedWidget*>(pLabel->parentWidget());
        return pStack && pStack->currentWidget() == pLabel;
    }
    return false;
}

QStringList Collections(const WorkspaceWidget& rWorkspace)
{
    QStringList names;
    QTableWidget* pTable = rWorkspace.findChild<ListLogWidget*>()->findChild<QTableWidget*>();
    for (int row = 0; row < pTable->rowCount(); ++row)
        names.append(pTable->item(row, 0)->text());
    return names;
}

QString ShownNote(const QWidget& rParent, const char* pName);
QString BoxText(const QWidget& rBox);

// The visible failure boxes of the workspace, whatever their title.
QList<QWidget*> OpenBoxes(const WorkspaceWidget& rWorkspace)
{
    QList<QWidget*> boxes;
    for (QDialog* pBox : rWorkspace.findChildren<QDialog*>())
        if (pBox->isVisible())
            boxes.append(pBox);
    return boxes;
}

class WorkspaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CommandPollWorker::SetIntervalsForTesting(100, 300);
        ASSERT_TRUE(mServer.IsRunning());
        mServer->SetLogSources({{"systemlogs", "2026-01-01T00:00:00", 60}, {"quorelagentlogs", "", 0}});
        mServer->AddCollection("a.zip", "first");
        mServer->AddCollection("b.zip", "second");
    }
    void TearDown() override
    {
        for (QWidget* pBox : OpenBoxes(mWorkspace))
            pBox->close();
        mWorkspace.SlotActiveUrlChanged({});
        // The dropped controllers end with their threads.
        EXPECT_TRUE(MaintenanceController::StopAll(3000));
        CommandPollWorker::SetIntervalsForTesting(5000, 60000);
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    // "127.0.0.1:port" without scheme.
    QString HostPort() { return QString::fromStdString(mServer->GetUrl()).mid(7); }

    // Shows the workspace with rTarget as the folder answer and selects the
    // server; returns once its sources and its collections are shown.
    void SelectServer(const tandriltest::TempDir& rTarget, int collections)
    {
        mWorkspace.mFolder = QString::fromStdString(rTarget.Path());
        mWorkspace.show();
        mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
        ASSERT_TRUE(WaitFor([&] { return mWorkspace.findChild<LogEntryWidget*>(QStringLiteral("Logs")) != nullptr; }, 10000));
        ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace).size() == collections; }, 10000));
    }

    tandriltest::TempDir mServerFolder;
    LocalServer mServer{mServerFolder.Path()};
    TestWorkspace mWorkspace;
};

} // namespace

TEST_F(WorkspaceTest, SelectingAServerFillsThePagesAndTheSameServerSendsNothing)
{
    mWorkspace.show();
    EXPECT_TRUE(PromptShown(mWorkspace));
    // A URL without scheme gets "http://".
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    ASSERT_NE(mWorkspace.GetController(), nullptr);
    EXPECT_EQ(mWorkspace.GetController()->GetServerUrl(), QString::fromStdString(mServer->GetUrl()));
    EXPECT_FALSE(PromptShown(mWorkspace));
    EXPECT_EQ(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor, Qt::BusyCursor);
    // From the moment of selection the server is named as the Servers list
    // names it, and stays so once it has told its own name.
    const QString label = QStringLiteral("Current server: srv1 (%1)").arg(HostPort());
    EXPECT_EQ(ServerLabel(mWorkspace), label);

    ASSERT_TRUE(WaitFor([&] { return mWorkspace.findChild<LogEntryWidget*>(QStringLiteral("Logs")) != nullptr; }, 10000));
    EXPECT_NE(mWorkspace.findChild<LogEntryWidget*>(QStringLiteral("Agent logs")), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return mWorkspace.GetController()->GetServerName() == QStringLiteral("simserver"); }, 10000));
    EXPECT_EQ(ServerLabel(mWorkspace), label);
    ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace) == QStringList({QStringLiteral("a.zip"), QStringLiteral("b.zip")}); }, 10000));

    const int queries = mServer.Count("ServiceFetchInformation");
    const int lists = mServer.Count("LogList");
    MaintenanceController* pController = mWorkspace.GetController();
    mWorkspace.SlotActiveUrlChanged({Service(QString::fromStdString(mServer->GetUrl()), QStringLiteral("srv1"))});
    EXPECT_EQ(mWorkspace.GetController(), pController);
    QTest::qWait(50);
    EXPECT_EQ(mServer.Count("ServiceFetchInformation"), queries);
    EXPECT_LE(mServer.Count("LogList") - lists, 1); // at most the 300 ms poll

    // Several services: the prompt, the controller stays; the same server
    // again sends nothing and leaves the prompt.
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1")), Service(QStringLiteral("10.1.1.1:8070"), QString())});
    EXPECT_TRUE(PromptShown(mWorkspace));
    EXPECT_EQ(mWorkspace.GetController(), pController);
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    EXPECT_TRUE(PromptShown(mWorkspace));
    EXPECT_EQ(mServer.Count("ServiceFetchInformation"), queries);

    // No service: back to no server.
    mWorkspace.SlotActiveUrlChanged({});
    EXPECT_EQ(mWorkspace.GetController(), nullptr);
    EXPECT_TRUE(PromptShown(mWorkspace));
    EXPECT_EQ(ServerLabel(mWorkspace), QStringLiteral("Current server: "));
    EXPECT_TRUE(Collections(mWorkspace).isEmpty());
}

TEST_F(WorkspaceTest, MatchingUrlWinsOverTheFirstUrlAndFallbackIsLogged)
{
    LogCapture capture;
    const std::string matching = mServer->GetUrl();
    mWorkspace.SlotActiveUrlChanged({Service(QStringLiteral("10.255.255.1:8070"), QStringLiteral("srv"), {matching})});
    ASSERT_NE(mWorkspace.GetController(), nullptr);
    EXPECT_EQ(mWorkspace.GetController()->GetServerUrl(), QString::fromStdString(matching));
    EXPECT_TRUE(capture.Matching("Could not determine common subnet IP").empty());

    mWorkspace.SlotActiveUrlChanged({Service(QStringLiteral("http://127.0.0.1:1"), QStringLiteral("other"))});
    ASSERT_NE(mWorkspace.GetController(), nullptr);
    EXPECT_EQ(mWorkspace.GetController()->GetServerUrl(), QStringLiteral("http://127.0.0.1:1"));
    const auto fallback = capture.Matching("Could not determine common subnet IP with server use fallback: ");
    ASSERT_EQ(fallback.size(), 1u);
    EXPECT_EQ(fallback[0].mMessage, "Could not determine common subnet IP with server use fallback: http://127.0.0.1:1");
    EXPECT_EQ(fallback[0].mLevel, 3);
    EXPECT_EQ(fallback[0].mCategory, "Maintenance");
    // The record names the line that logs, not the logging helper's.
    EXPECT_TRUE(controllertest::RecordPointsAt(fallback[0], "Could not determine common subnet IP"))
        << fallback[0].mFile << ":" << fallback[0].mLine;
    EXPECT_EQ(ServerLabel(mWorkspace), QStringLiteral("Current server: other (127.0.0.1:1)"));
}

TEST_F(WorkspaceTest, RefusedUrlShowsConnectionErrorAndDropsTheController)
{
    LogCapture capture;
    mWorkspace.show();
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    ASSERT_NE(mWorkspace.GetController(), nullptr);

    QString title, text;
    ModalDriver driver([&](QDialog* pDialog) {
        title = pDialog->windowTitle();
        for (QLabel* pLabel : pDialog->findChildren<QLabel*>())
            if (!pLabel->text().isEmpty())
                text = pLabel->text();
        pDialog->accept();
    });
    // A service without any URL becomes "http://" alone.
    QSignalSpy dropped(&mWorkspace, &WorkspaceWidget::SignalServerDropped);
    mWorkspace.SlotActiveUrlChanged({boost::make_shared<JoxWsdd::WebServiceInfo>()});
    EXPECT_EQ(title, QStringLiteral("Connection Error"));
    // Its row is highlighted no longer.
    EXPECT_EQ(dropped.size(), 1);
    EXPECT_EQ(text, QStringLiteral("Could not determine server for chosen URL."));
    EXPECT_EQ(mWorkspace.GetController(), nullptr);
    EXPECT_TRUE(PromptShown(mWorkspace));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ServerLabel(mWorkspace), QStringLiteral("Current server: "));
    EXPECT_EQ(capture.Matching("Could not connect to server with IP http:// - exception: ").size(), 1u);
}

// A failed listing of the log sources leaves the server; the box and the
// status line say why, in the words of what happened: a server that
// answered is never said not to have.
TEST_F(WorkspaceTest, FailedSourceListingShowsANonModalBoxWithItsReasonAndDropsTheServer)
{
    const QString url = QString::fromStdString(mServer->GetUrl());
    const struct
    {
        const char* mpCase;
        simserver::Fault mFault;
        bool mPolled; // the first listing succeeds, a poll fails
        QString mReason;
        QString mAdded; // in the box, after the reason
    } cases[] = {
        {"a fault to the first listing", simserver::Fault::Soap11Fault, false,
         QStringLiteral("The server reported a fault: Simulated fault."), QString()},
        {"HTTP 503 to a poll", simserver::Fault::HttpError, true,
         QStringLiteral("The server answered with HTTP status 503."), QStringLiteral("\nDetail: simulated outage")},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpCase);
        mServer->SetFault("LogList", rCase.mPolled ? simserver::Fault::None : rCase.mFault);
        mWorkspace.show();
        QSignalSpy dropped(&mWorkspace, &WorkspaceWidget::SignalServerDropped);
        mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
        if (rCase.mPolled)
        {
            ASSERT_TRUE(WaitFor([&] { return mWorkspace.findChild<LogEntryWidget*>(QStringLiteral("Logs")) != nullptr; },
                                10000));
            mServer->SetFault("LogList", rCase.mFault);
        }
        ASSERT_TRUE(WaitFor([&] { return mWorkspace.GetController() == nullptr; }, 10000));
        QPointer<QWidget> pBox = mWorkspace.findChild<QWidget*>(QStringLiteral("ConnectionErrorBox"));
        ASSERT_FALSE(pBox.isNull());
        EXPECT_TRUE(pBox->isVisible());
        EXPECT_FALSE(pBox->isModal());
        EXPECT_EQ(pBox->windowTitle(), QStringLiteral("Connection Error"));
        EXPECT_EQ(BoxText(*pBox),
                  QStringLiteral("Could not request log list from server: %1.\n").arg(url) + rCase.mReason + rCase.mAdded);
        EXPECT_TRUE(PromptShown(mWorkspace));
        EXPECT_EQ(dropped.size(), 1);
        EXPECT_EQ(ShownNote(mWorkspace, "ActivityLabel"),
                  QStringLiteral("Server srv1 (%1) was left: its log sources could not be listed. %2 Select it in the "
                                 "Servers list to try again.")
                      .arg(url, rCase.mReason));
        pBox->close();
        ASSERT_TRUE(WaitFor([&] { return pBox.isNull(); }, 5000));
    }
}

namespace {

// The texts of the open "Request Failed" boxes of the workspace.
QStringList FailureTexts(const WorkspaceWidget& rWorkspace)
{
    QStringList texts;
    for (QWidget* pBox : rWorkspace.findChildren<QWidget*>(QStringLiteral("RequestFailedBox")))
    {
        if (!pBox->isVisible())
            continue;
        EXPECT_EQ(pBox->windowTitle(), QStringLiteral("Request Failed"));
        EXPECT_FALSE(pBox->isModal());
        for (QLabel* pLabel : pBox->findChildren<QLabel*>())
            if (pLabel->text().contains(QStringLiteral(" failed on ")))
                texts.append(pLabel->text());
    }
    return texts;
}

void CloseFailureBoxes(const WorkspaceWidget& rWorkspace)
{
    for (QWidget* pBox : rWorkspace.findChildren<QWidget*>(QStringLiteral("RequestFailedBox")))
        pBox->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

TEST_F(WorkspaceTest, FailedRequestsNameServerOperationAndReasonOnce)
{
    tandriltest::TempDir target;
    mWorkspace.mFolder = QString::fromStdString(target.Path());
    mWorkspace.show();
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace).size() == 2; }, 10000));
    const QString server = QStringLiteral("srv1 (%1)").arg(QString::fromStdString(mServer->GetUrl()));

    struct Case
    {
        const char* mOperation;
        simserver::Fault mFault;
        std::function<void()> mRequest;
        QString mStart;
        QString mReason;
    };
    const std::vector<Case> cases = {
        {"LogDeleteCollection", simserver::Fault::Soap11Fault, [&] { mWorkspace.SlotDelete(QStringLiteral("a.zip")); },
         QStringLiteral("Deleting log package \"a.zip\" failed on server ") + server,
         QStringLiteral("The server reported a fault: Simulated fault.")},
        {"LogDeleteAllCollections", simserver::Fault::HttpError, [&] { mWorkspace.SlotClearLogEntries(); },
         QStringLiteral("Deleting all log packages failed on server ") + server,
         QStringLiteral("The server answered with HTTP status 503.\nDetail: simulated outage")},
        {"LogFetchCollection", simserver::Fault::Soap11Fault,
         [&] { mWorkspace.SlotFetch({QStringLiteral("b.zip")}); },
         QStringLiteral("Downloading log package \"b.zip\" failed on server ") + server,
         QStringLiteral("The server reported a fault: Simulated fault.")},
        {"LogCreateAndFetchCollection", simserver::Fault::HttpError, [&] { mWorkspace.SlotGather(); },
         QStringLiteral("Gathering logs into \"%1\" failed on server ").arg(mWorkspace.mFolder) + server,
         QStringLiteral("The server answered with HTTP status 503.\nDetail: simulated outage")},
    };
    for (const Case& rCase : cases)
    {
        SCOPED_TRACE(rCase.mOperation);
        mServer->SetFault(rCase.mOperation, rCase.mFault);
        // Twice, the second once the first has failed: the second, identical
        // message is not stacked on the first.
        rCase.mRequest();
        ASSERT_TRUE(WaitFor([&] { return FailureTexts(mWorkspace).size() == 1; }, 10000));
        rCase.mRequest();
        ASSERT_TRUE(WaitFor([&] { return mServer.Count(rCase.mOperation) == 2; }, 10000));
        QTest::qWait(200);
        const QStringList texts = FailureTexts(mWorkspace);
        ASSERT_EQ(texts.size(), 1) << texts.join(QLatin1Char('|')).toStdString();
        // Each thing once, and none of the runtime's lines that add nothing.
        EXPECT_EQ(texts.first(), rCase.mStart + QStringLiteral(".\nReason: ") + rCase.mReason);
        mServer->SetFault(rCase.mOperation, simserver::Fault::None);
        CloseFailureBoxes(mWorkspace);
    }
    EXPECT_NE(mWorkspace.GetController(), nullptr);

    // A folder that cannot hold the file (its path runs through a file): the
    // box names the local file and the system's reason, not the server.
    tandriltest::WriteFile(target.File("plain"), "a file");
    mWorkspace.mFolder = QString::fromStdString(target.File("plain/sub"));
    mWorkspace.SlotGather();
    ASSERT_TRUE(WaitFor([&] { return FailureTexts(mWorkspace).size() == 1; }, 10000));
    const QString text = FailureTexts(mWorkspace).first();
    const QString start = QStringLiteral("Gathering logs into \"%1\" failed on this computer.\nReason: Could not write "
                                         "the file \"%1/collection_")
                              .arg(mWorkspace.mFolder);
    EXPECT_TRUE(text.startsWith(start)) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(".zip\" on this computer: Not a directory"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("server"))) << text.toStdString();
    CloseFailureBoxes(mWorkspace);
}

// A server's fault text is shown as it is, markup and line breaks included;
// what fails next during the same outage goes into the same box, which
// wraps it and stays narrower than two thirds of the screen.
TEST_F(WorkspaceTest, AServersFaultTextIsShownAsItIsAndTheOutageBoxRewraps)
{
    tandriltest::TempDir target;
    SelectServer(target, 2);
    if (HasFatalFailure())
        return;
    const QString fault = QStringLiteral("<b>Disk</b> full &amp; more\nsee <a href=\"x\">the log</a>");
    mServer->SetFaultText(fault.toStdString());
    mServer->SetFault("LogDeleteCollection", simserver::Fault::Soap11Fault);
    mWorkspace.SlotDelete(QStringLiteral("a.zip"));
    ASSERT_TRUE(WaitFor([&] { return FailureTexts(mWorkspace).size() == 1; }, 10000));
    QWidget* pBox = mWorkspace.findChild<QWidget*>(QStringLiteral("RequestFailedBox"));
    ASSERT_NE(pBox, nullptr);
    QLabel* pLabel = pBox->findChild<QLabel*>(QStringLiteral("jox_msgbox_label"));
    ASSERT_NE(pLabel, nullptr);
    EXPECT_TRUE(pLabel->text().contains(fault)) << pLabel->text().toStdString();
    EXPECT_EQ(pLabel->textFormat(), Qt::PlainText);

    QString longFault;
    for (int i = 0; i < 40; ++i)
        longFault += QStringLiteral("reason%1 ").arg(i);
    mServer->SetFaultText(longFault.toStdString());
    mServer->SetFault("LogDeleteAllCollections", simserver::Fault::Soap11Fault);
    mWorkspace.SlotClearLogEntries();
    ASSERT_TRUE(WaitFor([&] { return pLabel->text().contains(QStringLiteral("Deleting all log packages failed")); }, 10000));
    QApplication::processEvents();
    EXPECT_EQ(FailureTexts(mWorkspace).size(), 1);
    EXPECT_LE(pBox->width(), pBox->screen()->geometry().width() * 2 / 3);
    EXPECT_GE(pLabel->height(), pLabel->heightForWidth(pLabel->width()));
    EXPECT_LE(pLabel->fontMetrics()
                  .boundingRect(QRect(0, 0, pLabel->width(), 100000), Qt::AlignLeft | Qt::TextWordWrap, pLabel->text())
                  .width(),
              pLabel->width());
    CloseFailureBoxes(mWorkspace);
}

TEST_F(WorkspaceTest, FailedListingIsShownAndNeverLooksLikeAnEmptyServer)
{
    mServer->SetFault("LogListCollections", simserver::Fault::HttpError);
    mWorkspace.show();
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    ASSERT_TRUE(WaitFor([&] { return FailureTexts(mWorkspace).size() == 1; }, 10000));
    EXPECT_TRUE(FailureTexts(mWorkspace).first().startsWith(QStringLiteral("Listing the log packages failed on server ")));
    EXPECT_TRUE(FailureTexts(mWorkspace).first().contains(
        QStringLiteral("(%1).\nReason: ").arg(QString::fromStdString(mServer->GetUrl()))));
    QLabel* pNote = mWorkspace.findChild<QLabel*>(QStringLiteral("ListingFailedLabel"));
    ASSERT_NE(pNote, nullptr);
    EXPECT_FALSE(pNote->isHidden());
    // The poll keeps failing: still one box, and none once the operator
    // has closed it; the list page keeps saying so.
    int polls = mServer.Count("LogListCollections");
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogListCollections") >= polls + 3; }, 10000));
    EXPECT_EQ(FailureTexts(mWorkspace).size(), 1);
    CloseFailureBoxes(mWorkspace);
    polls = mServer.Count("LogListCollections");
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogListCollections") >= polls + 3; }, 10000));
    EXPECT_EQ(FailureTexts(mWorkspace).size(), 0);
    EXPECT_FALSE(pNote->isHidden());

    mServer->SetFault("LogListCollections", simserver::Fault::None);
    ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace).size() == 2; }, 10000));
    EXPECT_TRUE(pNote->isHidden());
    CloseFailureBoxes(mWorkspace);
}

TEST_F(WorkspaceTest, DeselectingASilentServerNeverBlocks)
{
    // The status poll of this server is never answered.
    mServer->SetFault("LogStatus", simserver::Fault::Silent);
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogStatus") >= 1; }));
    QPointer<MaintenanceController> pOld = mWorkspace.GetController();
    ASSERT_FALSE(pOld.isNull());

    QElapsedTimer timer;
    timer.start();
    mWorkspace.SlotActiveUrlChanged({});
    EXPECT_LT(timer.elapsed(), 300);
    EXPECT_EQ(mWorkspace.GetController(), nullptr);
    // Gone once its threads have ended.
    ASSERT_TRUE(WaitFor([&] { return pOld.isNull(); }, 3000));
}

// Held Down and Up keys: 200 selections, 25 a second, round 20 servers that
// accept connections and never answer. Each selection's requests for the
// pages are given up when the next one comes, so threads and descriptors
// stay within a constant of their start under the usual limit of 1024
// descriptors, nothing is said to have failed, and a server that answers
// shows its collections afterwards.
TEST_F(WorkspaceTest, FastSelectionsRoundSilentServersCostAConstantNumberOfThreadsAndDescriptors)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    const int kServers = 20;
    const auto address = [](int server) { return QStringLiteral("127.20.0.%1").arg(server + 1).toStdString(); };
    const auto url = [&](int server) { return QStringLiteral("http://%1:8070").arg(address(server).c_str()); };
    std::vector<std::unique_ptr<SilentListener>> silent;
    for (int server = 0; server < kServers; ++server)
    {
        silent.push_back(std::make_unique<SilentListener>(address(server).c_str(), 8070));
        ASSERT_TRUE(silent.back()->IsListening()) << address(server);
    }
    // In this namespace, as the requests' threads are.
    tandriltest::TempDir answeringFolder;
    LocalServer answering(answeringFolder.Path());
    ASSERT_TRUE(answering.IsRunning());
    answering->SetLogSources({{"systemlogs", "", 60}});
    ASSERT_TRUE(answering->AddCollection("c.zip", "third"));
    LogCapture capture;
    DescriptorLimit limit(1024);
    ASSERT_TRUE(limit.IsSet());
    // Painted: the threads that painting starts count from the start.
    mWorkspace.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mWorkspace));

    const int threads = ProcessEntries("task");
    const int descriptors = ProcessEntries("fd");
    int mostThreads = threads;
    int mostDescriptors = descriptors;
    const auto sample = [&] {
        mostThreads = std::max(mostThreads, ProcessEntries("task"));
        mostDescriptors = std::max(mostDescriptors, ProcessEntries("fd"));
    };
    const int kSelections = 200;
    for (int selection = 0; selection < kSelections; ++selection)
    {
        const QString server = url(selection % kServers);
        mWorkspace.SlotActiveUrlChanged(
            {Service(server, QStringLiteral("silent %1").arg(selection % kServers), {server.toStdString()})});
        sample();
        // 25 selections a second.
        QTest::qWait(40);
        sample();
        ASSERT_LE(mostThreads, threads + 24) << selection + 1 << " selections";
        ASSERT_LE(mostDescriptors, descriptors + 48) << selection + 1 << " selections";
    }
    std::printf("threads %d, at most %d; descriptors %d, at most %d\n", threads, mostThreads, descriptors,
                mostDescriptors);

    mWorkspace.SlotActiveUrlChanged({Service(answering.Url(), QStringLiteral("answering"))});
    ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace) == QStringList{QStringLiteral("c.zip")}; }));
    ASSERT_TRUE(WaitFor([&] { return mWorkspace.findChild<LogEntryWidget*>(QStringLiteral("Logs")) != nullptr; }));
    // One busy cursor at most, ended by the answer.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(OpenBoxes(mWorkspace).isEmpty());
    EXPECT_TRUE(capture.Matching("Command Failed").empty()) << capture.Matching("Command Failed").front().mMessage;
    EXPECT_TRUE(ShownNote(mWorkspace, "ActivityLabel").isEmpty())
        << ShownNote(mWorkspace, "ActivityLabel").toStdString();
    sample();
    EXPECT_LE(mostThreads, threads + 24);
    EXPECT_LE(mostDescriptors, descriptors + 48);
}

TEST_F(WorkspaceTest, DownloadSkipsCollectionsThatExistLocally)
{
    tandriltest::TempDir target;
    tandriltest::WriteFile(target.File("a.zip"), "local");
    mWorkspace.mFolder = QString::fromStdString(target.Path());
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace).size() == 2; }, 10000));

    QString title, text;
    ModalDriver driver([&](QDialog* pDialog) {
        title = pDialog->windowTitle();
        for (QLabel* pLabel : pDialog->findChildren<QLabel*>())
            if (!pLabel->text().isEmpty())
                text = pLabel->text();
        pDialog->accept();
    });
    LogCapture capture;
    mWorkspace.SlotFetch({QStringLiteral("a.zip"), QString(), QStringLiteral("b.zip")});
    EXPECT_EQ(title, QStringLiteral("Download Error"));
    EXPECT_EQ(text, QStringLiteral("The following files already exists locally.\na.zip"));
    EXPECT_EQ(capture.Matching("logfile with empty name requested. Ignore.").size(), 1u);
    EXPECT_TRUE(WaitFor([&] { return tandriltest::ReadFile(target.File("b.zip")) == "second"; }, 10000));
    EXPECT_EQ(tandriltest::ReadFile(target.File("a.zip")), "local");

    // A cancelled folder question downloads nothing.
    mWorkspace.mFolder.clear();
    const int asked = mWorkspace.mAsked;
    mWorkspace.SlotFetch({QStringLiteral("a.zip")});
    mWorkspace.SlotGather();
    EXPECT_EQ(mWorkspace.mAsked, asked + 2);
}

TEST_F(WorkspaceTest, TheLocalCheckUsesTheNameTheDownloadWouldWrite)
{
    tandriltest::TempDir target;
    tandriltest::WriteFile(target.File("a.zip"), "local");
    tandriltest::WriteFile(target.File("b.zip"), "local too");
    mWorkspace.mFolder = QString::fromStdString(target.Path());
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace).size() == 2; }, 10000));

    QString text;
    ModalDriver driver([&](QDialog* pDialog) {
        for (QLabel* pLabel : pDialog->findChildren<QLabel*>())
            if (!pLabel->text().isEmpty())
                text = pLabel->text();
        pDialog->accept();
    });
    // Listed names with folders land under their last component.
    mWorkspace.SlotFetch({QStringLiteral("../a.zip"), QStringLiteral("sub\\b.zip")});
    EXPECT_EQ(text, QStringLiteral("The following files already exists locally.\n../a.zip\nsub\\b.zip"));
    QTest::qWait(300);
    EXPECT_EQ(mServer.Count("LogFetchCollection"), 0);
    EXPECT_EQ(tandriltest::ReadFile(target.File("a.zip")), "local");
    EXPECT_EQ(tandriltest::ReadFile(target.File("b.zip")), "local too");
}

TEST_F(WorkspaceTest, GatherStreamsTheNewCollectionIntoTheChosenFolder)
{
    tandriltest::TempDir target;
    mWorkspace.mFolder = QString::fromStdString(target.Path());
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    ASSERT_TRUE(WaitFor([&] { return mWorkspace.findChild<LogEntryWidget*>(QStringLiteral("Logs")) != nullptr; }, 10000));
    mWorkspace.SlotGather();
    ASSERT_TRUE(WaitFor([&] { return QDir(mWorkspace.mFolder).entryList(QDir::Files).size() == 1; }, 10000));
    EXPECT_EQ(mServer.Count("LogCreateAndFetchCollection"), 1);
}

TEST_F(WorkspaceTest, DeleteAndClearReachTheServer)
{
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace).size() == 2; }, 10000));
    LogCapture capture;
    mWorkspace.SlotDelete(QString());
    EXPECT_EQ(capture.Matching("delete logfile with empty name requested. Ignore.").size(), 1u);
    // Clicked twice quickly: sent once, so that no "No such collection"
    // follows a delete that worked.
    mWorkspace.SlotDelete(QStringLiteral("a.zip"));
    mWorkspace.SlotDelete(QStringLiteral("a.zip"));
    ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace) == QStringList({QStringLiteral("b.zip")}); }, 10000));
    QTest::qWait(200);
    EXPECT_EQ(mServer.Count("LogDeleteCollection"), 1);
    EXPECT_TRUE(FailureTexts(mWorkspace).isEmpty());
    mWorkspace.SlotClearLogEntries();
    ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace).isEmpty(); }, 10000));
    EXPECT_TRUE(mServer->GetCollections().empty());
}

namespace {

// The text of the visible label of that object name, empty when hidden.
QString ShownNote(const QWidget& rParent, const char* pName)
{
    const QLabel* pLabel = rParent.findChild<QLabel*>(QString::fromLatin1(pName));
    return pLabel && pLabel->isVisible() ? pLabel->text() : QString();
}

bool TableShown(const QWidget& rPage)
{
    const QAbstractItemView* pTable = rPage.findChild<QAbstractItemView*>();
    return pTable && pTable->isVisible();
}

QString BoxText(const QWidget& rBox)
{
    QStringList texts;
    for (QLabel* pLabel : rBox.findChildren<QLabel*>())
        if (!pLabel->text().isEmpty())
            texts.append(pLabel->text());
    return texts.join(QLatin1Char('\n'));
}

// Short client timeouts, so that an unanswered request fails soon.
class ShortTimeouts
{
public:
    ShortTimeouts()
        : mSaved(GetServiceClientTimeouts())
    {
        ServiceClientTimeouts timeouts = mSaved;
        timeouts.mReceiveIdleSeconds = 1;
        SetServiceClientTimeouts(timeouts);
    }
    ~ShortTimeouts() { SetServiceClientTimeouts(mSaved); }

private:
    ServiceClientTimeouts mSaved;
};

} // namespace

TEST_F(WorkspaceTest, PagesSayTheyWaitForTheServerAndWhenItsPollsFail)
{
    ShortTimeouts timeouts;
    mServer->SetFault("LogListCollections", simserver::Fault::Silent);
    mServer->SetFault("LogStatus", simserver::Fault::Silent);
    mWorkspace.show();
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    const QWidget& rList = *mWorkspace.findChild<ListLogWidget*>();
    const QWidget& rStatus = *mWorkspace.findChild<ListLogStatusWidget*>();
    QTabWidget* pTabs = mWorkspace.findChild<QTabWidget*>();

    // Nothing has answered: no empty table, a note that says so.
    const QString server = QStringLiteral("srv1 (%1)").arg(QString::fromStdString(mServer->GetUrl()));
    pTabs->setCurrentIndex(1);
    EXPECT_EQ(ShownNote(rList, "ListingFailedLabel"),
              QStringLiteral("Waiting for server %1 to list its log packages ...").arg(server));
    EXPECT_FALSE(TableShown(rList));
    pTabs->setCurrentIndex(2);
    EXPECT_EQ(ShownNote(rStatus, "StatusNoteLabel"), QStringLiteral("Waiting for server %1 to report its jobs ...").arg(server));
    EXPECT_FALSE(TableShown(rStatus));

    // The unanswered polls fail: both pages say so, and why.
    ASSERT_TRUE(WaitFor([&] { return ShownNote(rStatus, "StatusNoteLabel").contains(QStringLiteral("could not be queried")); },
                        10000));
    EXPECT_EQ(ShownNote(rStatus, "StatusNoteLabel"),
              QStringLiteral("The jobs of server %1 could not be queried: The server did not answer within 1 s. The list "
                             "below may be out of date.")
                  .arg(server));
    pTabs->setCurrentIndex(1);
    ASSERT_TRUE(WaitFor([&] { return ShownNote(rList, "ListingFailedLabel").contains(QStringLiteral("could not be listed")); },
                        10000));
    EXPECT_EQ(ShownNote(rList, "ListingFailedLabel"),
              QStringLiteral("The log packages of server %1 could not be listed: The server did not answer within 1 s. The "
                             "list below may be out of date.")
                  .arg(server));

    // Answers take the notes away.
    mServer->SetFault("LogListCollections", simserver::Fault::None);
    mServer->SetFault("LogStatus", simserver::Fault::None);
    ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace).size() == 2 && ShownNote(rList, "ListingFailedLabel").isEmpty(); },
                        10000));
    EXPECT_TRUE(TableShown(rList));
    pTabs->setCurrentIndex(2);
    ASSERT_TRUE(WaitFor([&] { return ShownNote(rStatus, "StatusNoteLabel").isEmpty(); }, 10000));
    EXPECT_TRUE(TableShown(rStatus));
}

TEST_F(WorkspaceTest, StatusLineShowsWorkUntilItEndsAndASecondRequestStartsNothing)
{
    tandriltest::TempDir target;
    SelectServer(target, 2);
    if (HasFatalFailure())
        return;
    const QString server = QStringLiteral("srv1 (%1)").arg(QString::fromStdString(mServer->GetUrl()));
    QStringList boxes;
    ModalDriver driver([&](QDialog* pDialog) {
        boxes.append(pDialog->windowTitle() + QLatin1Char('|') + BoxText(*pDialog));
        pDialog->accept();
    });

    struct Case
    {
        const char* mOperation;
        std::function<void()> mRequest;
        QString mRunning;
        QString mRefusal;
        QString mSaved;
        std::uint64_t mBytesPerSecond;
    };
    const std::vector<Case> cases = {
        {"LogCreateAndFetchCollection", [&] { mWorkspace.SlotGather(); },
         QStringLiteral("Running: Gathering logs from server %1 into \"%2\" ...").arg(server, mWorkspace.mFolder),
         QStringLiteral("Already Running|Logs are already being gathered from server %1.").arg(server),
         mWorkspace.mFolder + QStringLiteral("/collection_1.zip"), 0},
        {"LogFetchCollection", [&] { mWorkspace.SlotFetch({QStringLiteral("b.zip")}); },
         QStringLiteral("Running: Downloading log package \"b.zip\" from server %1 into \"%2\" ...").arg(server, mWorkspace.mFolder),
         QStringLiteral("Already Running|These log packages are already being downloaded from server %1:\nb.zip").arg(server),
         mWorkspace.mFolder + QStringLiteral("/b.zip"), 4},
    };
    // Long enough to click twice: a slow build, a slow download.
    mServer->SetBuildDelay(std::chrono::milliseconds(1500));
    for (const Case& rCase : cases)
    {
        SCOPED_TRACE(rCase.mOperation);
        mServer->SetAttachmentRate(rCase.mBytesPerSecond);
        boxes.clear();
        const int asked = mWorkspace.mAsked;
        const QString before = ShownNote(mWorkspace, "ActivityLabel");
        rCase.mRequest();
        // Above what ended before, which stays readable.
        EXPECT_EQ(ShownNote(mWorkspace, "ActivityLabel"),
                  before.isEmpty() ? rCase.mRunning : rCase.mRunning + QLatin1Char('\n') + before);
        ASSERT_TRUE(WaitFor([&] { return mServer.Count(rCase.mOperation) == 1; }, 10000));
        // A second request while the first runs: no second build or
        // download, no folder question, a box that says why.
        rCase.mRequest();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(boxes.first().startsWith(rCase.mRefusal)) << boxes.first().toStdString();
        EXPECT_EQ(mWorkspace.mAsked, asked + 1);
        // Its end, and where the file went.
        ASSERT_TRUE(WaitFor([&] { return ShownNote(mWorkspace, "ActivityLabel").startsWith(QStringLiteral("Done: ")); },
                            15000));
        EXPECT_EQ(ShownNote(mWorkspace, "ActivityLabel"),
                  QStringLiteral("Done: %1; saved as \"%2\".").arg(rCase.mRunning.mid(9).chopped(4), rCase.mSaved) +
                      (before.isEmpty() ? QString() : QLatin1Char('\n') + before));
        EXPECT_TRUE(QFileInfo::exists(rCase.mSaved));
        EXPECT_EQ(mServer.Count(rCase.mOperation), 1);
    }
}

// The status line counts a running work's bytes, refreshed while it runs,
// and shows the share done when the reply declares the size. Each transfer
// lasts some 20 s, far longer than the readings take; each reading waits
// for the line to change.
TEST_F(WorkspaceTest, StatusLineShowsHowFarARunningWorkHasCome)
{
    tandriltest::TempDir target;
    mServer->AddCollection("big.zip", std::string(4000, 'b'));
    mServer->AddCollection("sized.zip", std::string(4000, 's'));
    SelectServer(target, 4);
    if (HasFatalFailure())
        return;

    // A built collection is some 80 bytes.
    const struct
    {
        const char* mpOperation;
        std::function<void()> mRequest;
        QString mWork;
        std::uint64_t mBytesPerSecond;
        bool mSizeKnown;
    } cases[] = {
        {"LogFetchCollection", [&] { mWorkspace.SlotFetch({QStringLiteral("big.zip")}); }, QStringLiteral("\"big.zip\""),
         200, false},
        {"LogCreateAndFetchCollection", [&] { mWorkspace.SlotGather(); }, QStringLiteral("Gathering logs"), 4, false},
        {"LogFetchCollection", [&] { mWorkspace.SlotFetch({QStringLiteral("sized.zip")}); },
         QStringLiteral("\"sized.zip\""), 200, true},
    };
    const QRegularExpression running(QStringLiteral(
        "^Running: .* \\.\\.\\. (\\d+ bytes|\\d+\\.\\d\\d KiB)(?: of (3\\.91 KiB))? received(?: \\((\\d+) %\\))?$"));
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpOperation + std::string(rCase.mSizeKnown ? ", size known" : ""));
        mServer->SetAttachmentRate(rCase.mBytesPerSecond);
        mServer->SetAttachmentSizeKnown(rCase.mSizeKnown);
        rCase.mRequest();
        // Readings of the work's line while it runs: the count shows and
        // grows, and the share with it when the size is known. Once its
        // bytes flow, the server has read the settings: the next case may
        // change them while this work goes on.
        QStringList counts;
        QString line;
        ASSERT_TRUE(WaitFor(
            [&] {
                for (const QString& rLine : ShownNote(mWorkspace, "ActivityLabel").split(QLatin1Char('\n')))
                    if (rLine.contains(rCase.mWork))
                        line = rLine;
                const QRegularExpressionMatch match = running.match(line);
                if (!match.hasMatch() || counts.contains(match.captured(1)))
                    return false;
                counts.append(match.captured(1));
                EXPECT_EQ(match.captured(2).isEmpty(), !rCase.mSizeKnown) << line.toStdString();
                EXPECT_EQ(match.captured(3).isEmpty(), !rCase.mSizeKnown) << line.toStdString();
                if (rCase.mSizeKnown)
                {
                    EXPECT_GT(match.captured(3).toInt(), 0) << line.toStdString();
                }
                return counts.size() == 2;
            },
            15000))
            << line.toStdString();
    }
}

TEST_F(WorkspaceTest, OneOutageOfOneServerGivesOneBoxThatNamesWhatFailed)
{
    tandriltest::TempDir target;
    SelectServer(target, 2);
    if (HasFatalFailure())
        return;
    QSignalSpy dropped(&mWorkspace, &WorkspaceWidget::SignalServerDropped);
    const QString server = QStringLiteral("srv1 (%1)").arg(QString::fromStdString(mServer->GetUrl()));

    // The server stops during a download: the download, the listing poll
    // and the source listing fail, in whatever order they notice it.
    mServer->SetAttachmentRate(2);
    mWorkspace.SlotFetch({QStringLiteral("b.zip")});
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogFetchCollection") == 1; }, 10000));
    mServer->Stop();
    // The failed source listing leaves the server and is named in the box;
    // the download is named there as failed, whichever failed first, and on
    // the status line with its reason.
    const QString download = QStringLiteral("Downloading log package \"b.zip\"");
    ASSERT_TRUE(WaitFor(
        [&] {
            const QList<QWidget*> boxes = OpenBoxes(mWorkspace);
            return mWorkspace.GetController() == nullptr && boxes.size() == 1 &&
                   BoxText(*boxes.first()).contains(QStringLiteral("Could not request log list from server")) &&
                   BoxText(*boxes.first()).contains(download + QStringLiteral(" failed on server"));
        },
        10000))
        << ShownNote(mWorkspace, "ActivityLabel").toStdString();
    EXPECT_TRUE(ShownNote(mWorkspace, "ActivityLabel")
                    .contains(QRegularExpression(QStringLiteral("\nFailed: ") + QRegularExpression::escape(download) +
                                                 QStringLiteral(" from server .*: The server closed the connection"))))
        << ShownNote(mWorkspace, "ActivityLabel").toStdString();
    const QList<QWidget*> boxes = OpenBoxes(mWorkspace);
    ASSERT_EQ(boxes.size(), 1);

    // The server was left: its highlight goes, and the status line says why
    // and how to retry.
    EXPECT_EQ(dropped.size(), 1);
    const QString activity = ShownNote(mWorkspace, "ActivityLabel");
    EXPECT_TRUE(activity.startsWith(QStringLiteral("Server %1 was left: its log sources could not be listed. ").arg(server)))
        << activity.toStdString();
    boxes.first()->close();
}

namespace {

// The visible "Request Failed" boxes' texts that name rWork.
QStringList BoxesNaming(const WorkspaceWidget& rWorkspace, const QString& rWork)
{
    QStringList texts;
    for (QWidget* pBox : OpenBoxes(rWorkspace))
        if (BoxText(*pBox).contains(rWork))
            texts.append(BoxText(*pBox));
    return texts;
}

void ClickOk(QWidget& rBox)
{
    QPushButton* pOk = rBox.findChild<QPushButton*>(QStringLiteral("&OK"));
    ASSERT_NE(pOk, nullptr);
    pOk->click();
}

} // namespace

// A gather or download that fails after the operator has turned away from
// its server still gives its box with the reason, and the status line keeps
// its failure with the reason below what ends later.
TEST_F(WorkspaceTest, AWorkThatFailsAfterItsServerWasLeftGivesItsReason)
{
    const QString current = QString::fromStdString(mServer->GetUrl());
    const struct
    {
        const char* mpCase;
        bool mGather;
        bool mTurnToAnother; // else the selection is cleared
        QString mReason;
    } cases[] = {
        {"a download, then another server", false, true,
         QStringLiteral("The server closed the connection before its reply was complete.")},
        {"a gather, then no server", true, false, QStringLiteral("The server closed the connection without answering.")},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpCase);
        tandriltest::TempDir sourceFolder;
        LocalServer source(sourceFolder.Path());
        ASSERT_TRUE(source.IsRunning());
        source->SetLogSources({{"systemlogs", "", 60}});
        source->AddCollection("b.zip", "second");
        tandriltest::TempDir target;
        mWorkspace.mFolder = QString::fromStdString(target.Path());
        mWorkspace.show();
        mWorkspace.SlotActiveUrlChanged({Service(source.Url(), QStringLiteral("source"))});
        ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace).size() == 1; }, 10000));
        const QString server = QStringLiteral("source (%1)").arg(source.Url());
        QString work;
        QString running;
        if (rCase.mGather)
        {
            source->SetBuildDelay(std::chrono::milliseconds(60000));
            ASSERT_TRUE(WaitFor([&] { return mWorkspace.findChild<LogEntryWidget*>(QStringLiteral("Logs")) != nullptr; },
                                10000));
            mWorkspace.SlotGather();
            ASSERT_TRUE(WaitFor([&] { return source.Count("LogCreateAndFetchCollection") == 1; }, 10000));
            work = QStringLiteral("Gathering logs into \"%1\"").arg(mWorkspace.mFolder);
            running = QStringLiteral("Gathering logs from server %1 into \"%2\"").arg(server, mWorkspace.mFolder);
        }
        else
        {
            source->SetAttachmentRate(2);
            mWorkspace.SlotFetch({QStringLiteral("b.zip")});
            ASSERT_TRUE(WaitFor([&] { return source.Count("LogFetchCollection") == 1; }, 10000));
            work = QStringLiteral("Downloading log package \"b.zip\"");
            running = QStringLiteral("Downloading log package \"b.zip\" from server %1 into \"%2\"")
                          .arg(server, mWorkspace.mFolder);
        }
        if (rCase.mTurnToAnother)
            mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
        else
            mWorkspace.SlotActiveUrlChanged({});
        ASSERT_TRUE(ShownNote(mWorkspace, "ActivityLabel").startsWith(QStringLiteral("Running: ") + running));

        // The server goes away: the work fails.
        source->Stop();
        ASSERT_TRUE(WaitFor([&] { return !BoxesNaming(mWorkspace, work).isEmpty(); }, 10000))
            << ShownNote(mWorkspace, "ActivityLabel").toStdString();
        EXPECT_EQ(BoxesNaming(mWorkspace, work),
                  QStringList({QStringLiteral("%1 failed on server %2.\nReason: %3").arg(work, server, rCase.mReason)}));
        const QString failed = QStringLiteral("Failed: %1: %2").arg(running, rCase.mReason);
        EXPECT_TRUE(ShownNote(mWorkspace, "ActivityLabel").split(QLatin1Char('\n')).contains(failed))
            << ShownNote(mWorkspace, "ActivityLabel").toStdString();

        // A work that ends later does not take the failure's place.
        if (rCase.mTurnToAnother)
        {
            ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace).size() == 2; }, 10000));
            mWorkspace.SlotFetch({QStringLiteral("a.zip")});
            ASSERT_TRUE(WaitFor([&] { return ShownNote(mWorkspace, "ActivityLabel").startsWith(QStringLiteral("Done: ")); },
                                10000));
            const QStringList lines = ShownNote(mWorkspace, "ActivityLabel").split(QLatin1Char('\n'));
            EXPECT_EQ(lines.value(0), QStringLiteral("Done: Downloading log package \"a.zip\" from server srv1 (%1) into "
                                                     "\"%2\"; saved as \"%2/a.zip\".")
                                          .arg(current, mWorkspace.mFolder));
            EXPECT_EQ(lines.value(1), failed);
        }
        for (QWidget* pBox : OpenBoxes(mWorkspace))
            pBox->close();
        mWorkspace.SlotActiveUrlChanged({});
    }
}

// While another server's box is open, a download's failure gets a box of
// its own, and so it does after OK on the open one.
TEST_F(WorkspaceTest, ADownloadFailureIsShownWhateverOtherBoxIsOpen)
{
    tandriltest::TempDir failingFolder;
    LocalServer failing(failingFolder.Path());
    ASSERT_TRUE(failing.IsRunning());
    failing->SetFault("LogList", simserver::Fault::Soap11Fault);
    const QString work = QStringLiteral("Downloading log package \"b.zip\"");
    for (const bool okFirst : {false, true})
    {
        SCOPED_TRACE(okFirst ? "after OK on the open box" : "while the box is open");
        tandriltest::TempDir sourceFolder;
        LocalServer source(sourceFolder.Path());
        ASSERT_TRUE(source.IsRunning());
        source->AddCollection("b.zip", "second");
        tandriltest::TempDir target;
        mWorkspace.mFolder = QString::fromStdString(target.Path());
        mWorkspace.show();
        mWorkspace.SlotActiveUrlChanged({Service(source.Url(), QStringLiteral("source"))});
        ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace).size() == 1; }, 10000));
        source->SetAttachmentRate(2);
        mWorkspace.SlotFetch({QStringLiteral("b.zip")});
        ASSERT_TRUE(WaitFor([&] { return source.Count("LogFetchCollection") == 1; }, 10000));

        // Another server, which fails its listing: its box opens.
        mWorkspace.SlotActiveUrlChanged({Service(failing.Url(), QStringLiteral("failing"))});
        QPointer<QWidget> pOpen;
        ASSERT_TRUE(WaitFor(
            [&] {
                pOpen = mWorkspace.findChild<QWidget*>(QStringLiteral("ConnectionErrorBox"));
                return pOpen && pOpen->isVisible();
            },
            10000));
        if (okFirst)
        {
            ClickOk(*pOpen);
            ASSERT_TRUE(WaitFor([&] { return pOpen.isNull() || !pOpen->isVisible(); }, 5000));
        }

        source->Stop();
        ASSERT_TRUE(WaitFor([&] { return !BoxesNaming(mWorkspace, work).isEmpty(); }, 10000))
            << ShownNote(mWorkspace, "ActivityLabel").toStdString();
        const QString text = QStringLiteral("%1 failed on server source (%2).\nReason: The server closed the connection "
                                            "before its reply was complete.")
                                 .arg(work, source.Url());
        EXPECT_EQ(BoxesNaming(mWorkspace, work), QStringList({text}));
        if (!okFirst)
        {
            // Both boxes, each saying its own; OK on the first leaves the other.
            EXPECT_TRUE(pOpen && pOpen->isVisible());
            EXPECT_FALSE(BoxText(*pOpen).contains(work));
            EXPECT_EQ(OpenBoxes(mWorkspace).size(), 2);
            ClickOk(*pOpen);
            ASSERT_TRUE(WaitFor([&] { return pOpen.isNull() || !pOpen->isVisible(); }, 5000));
            EXPECT_EQ(BoxesNaming(mWorkspace, work), QStringList({text}));
        }
        for (QWidget* pBox : OpenBoxes(mWorkspace))
            pBox->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Whatever leaves the server, the operator's gather or download runs to its
// end and stays on the status line, with its server, until then.
TEST_F(WorkspaceTest, WorksRunToTheirEndWhicheverWayTheServerIsLeft)
{
    tandriltest::TempDir otherFolder;
    LocalServer other(otherFolder.Path());
    tandriltest::TempDir refusingFolder;
    LocalServer refusing(refusingFolder.Path());
    ASSERT_TRUE(other.IsRunning() && refusing.IsRunning());
    other->SetLogSources({{"systemlogs", "", 60}});
    // Nothing listens there any more: connections are refused.
    const QString refusingUrl = refusing.Url();
    refusing->Stop();
    const QString url = QString::fromStdString(mServer->GetUrl());
    const QString server = QStringLiteral("srv1 (%1)").arg(url);

    const struct
    {
        const char* mpName;
        bool mGather;
        std::function<void()> mLeave;
    } cases[] = {
        {"a server that refuses connections", false,
         [&] { mWorkspace.SlotActiveUrlChanged({Service(refusingUrl, QStringLiteral("refusing"))}); }},
        {"a gather, then a server that refuses connections", true,
         [&] { mWorkspace.SlotActiveUrlChanged({Service(refusingUrl, QStringLiteral("refusing"))}); }},
        {"another server", false, [&] { mWorkspace.SlotActiveUrlChanged({Service(other.Url(), QStringLiteral("other"))}); }},
        {"an empty selection", false, [&] { mWorkspace.SlotActiveUrlChanged({}); }},
        {"the server left the Servers list", false, [&] { mWorkspace.SlotServerLeftList(); }},
        {"a failing log-source poll of the same server", false,
         [&] { mServer->SetFault("LogList", simserver::Fault::Soap11Fault); }},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        tandriltest::TempDir target;
        mServer->SetFault("LogList", simserver::Fault::None);
        mServer->SetAttachmentRate(0);
        mServer->SetBuildDelay(std::chrono::milliseconds(0));
        mWorkspace.SlotActiveUrlChanged({});
        SelectServer(target, static_cast<int>(mServer->GetCollections().size()));
        if (HasFatalFailure())
            return;
        const QString folder = mWorkspace.mFolder;
        // Slow enough to leave while it runs.
        QString running;
        QString saved;
        if (rCase.mGather)
        {
            mServer->SetBuildDelay(std::chrono::milliseconds(2000));
            const int gathers = mServer.Count("LogCreateAndFetchCollection");
            mWorkspace.SlotGather();
            ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogCreateAndFetchCollection") == gathers + 1; }, 10000));
            running = QStringLiteral("Gathering logs from server %1 into \"%2\"").arg(server, folder);
        }
        else
        {
            mServer->SetAttachmentRate(3);
            const int fetches = mServer.Count("LogFetchCollection");
            mWorkspace.SlotFetch({QStringLiteral("b.zip")});
            ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogFetchCollection") == fetches + 1; }, 10000));
            running = QStringLiteral("Downloading log package \"b.zip\" from server %1 into \"%2\"").arg(server, folder);
            saved = folder + QStringLiteral("/b.zip");
        }
        rCase.mLeave();
        ASSERT_TRUE(WaitFor([&] { return !mWorkspace.GetController() || mWorkspace.GetController()->GetServerUrl() != url; },
                            10000));
        EXPECT_TRUE(ShownNote(mWorkspace, "ActivityLabel").contains(QStringLiteral("Running: %1 ...").arg(running)))
            << ShownNote(mWorkspace, "ActivityLabel").toStdString();

        // The ends of the cases before stay below; this one's folder is its own.
        ASSERT_TRUE(WaitFor([&] { return ShownNote(mWorkspace, "ActivityLabel").contains(QStringLiteral("Done: ") + running); },
                            15000))
            << ShownNote(mWorkspace, "ActivityLabel").toStdString();
        if (saved.isEmpty())
            saved = folder + QStringLiteral("/") + QDir(folder).entryList(QDir::Files).value(0);
        // Below the note that the refusing server was left, where one was.
        EXPECT_TRUE(ShownNote(mWorkspace, "ActivityLabel")
                        .contains(QStringLiteral("Done: %1; saved as \"%2\".").arg(running, saved)))
            << ShownNote(mWorkspace, "ActivityLabel").toStdString();
        EXPECT_FALSE(ShownNote(mWorkspace, "ActivityLabel").contains(QStringLiteral("Running: ")));
        if (!rCase.mGather)
        {
            EXPECT_EQ(tandriltest::ReadFile(saved.toStdString()), "second");
        }
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
        for (QWidget* pBox : OpenBoxes(mWorkspace))
            pBox->close();
    }
}

// A failed information query: the job status page says so, and selecting
// the server again queries it again and starts its polls.
TEST_F(WorkspaceTest, AFailedInformationQueryIsSaidAndSelectingTheServerAgainRetries)
{
    mServer->SetJobs({{"{job-1}", "10.0.0.9", "ct_collectlog", "cs_running", 40.0, 0, std::string("halfway"), {}}});
    mServer->SetFault("ServiceFetchInformation", simserver::Fault::Soap11Fault);
    mWorkspace.show();
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    const QWidget& rStatus = *mWorkspace.findChild<ListLogStatusWidget*>();
    mWorkspace.findChild<QTabWidget*>()->setCurrentIndex(2);
    const QString server = QStringLiteral("srv1 (%1)").arg(QString::fromStdString(mServer->GetUrl()));
    ASSERT_TRUE(WaitFor([&] { return ShownNote(rStatus, "StatusNoteLabel").contains(QStringLiteral("could not be queried")); },
                        10000));
    EXPECT_EQ(ShownNote(rStatus, "StatusNoteLabel"),
              QStringLiteral("Server %1 could not be queried, so its jobs are not shown: The server reported a fault: "
                             "Simulated fault. Select it again in the Servers list to try again.")
                  .arg(server));
    EXPECT_FALSE(TableShown(rStatus));
    EXPECT_EQ(mServer.Count("LogStatus"), 0);

    mServer->SetFault("ServiceFetchInformation", simserver::Fault::None);
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    EXPECT_EQ(ShownNote(rStatus, "StatusNoteLabel"), QStringLiteral("Waiting for server %1 to report its jobs ...").arg(server));
    ASSERT_TRUE(WaitFor([&] { return ShownNote(rStatus, "StatusNoteLabel").isEmpty(); }, 10000));
    EXPECT_EQ(mServer.Count("ServiceFetchInformation"), 2);
    EXPECT_TRUE(TableShown(rStatus));
    EXPECT_EQ(rStatus.findChild<QAbstractItemView*>()->model()->rowCount(), 1);
    // Once queried, selecting it again sends nothing.
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    QTest::qWait(50);
    EXPECT_EQ(mServer.Count("ServiceFetchInformation"), 2);
}

// A successful delete guards its name until a listing requested after it
// ended has arrived: one requested before (a poll in flight) may still show
// it and keeps the guard; one requested after ends it, even when it still
// shows the name (a server that deletes later, or builds one of that name
// again).
TEST_F(WorkspaceTest, ADeleteIsSentAgainOnlyAfterAListingRequestedAfterItsEnd)
{
    // Not polled: only the listings given here arrive.
    mServer->SetFault("ServiceFetchInformation", simserver::Fault::Soap11Fault);
    mWorkspace.show();
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    const QLabel* pStatusNote = mWorkspace.findChild<ListLogStatusWidget*>()->findChild<QLabel*>(QStringLiteral("StatusNoteLabel"));
    ASSERT_NE(pStatusNote, nullptr);
    // The three requests of the selection have ended.
    ASSERT_TRUE(WaitFor([&] {
        return Collections(mWorkspace).size() == 2 && mWorkspace.findChild<LogEntryWidget*>(QStringLiteral("Logs")) &&
               pStatusNote->text().contains(QStringLiteral("could not be queried"));
    }, 10000));
    MaintenanceController* pController = mWorkspace.GetController();
    QSignalSpy finished(pController, &MaintenanceController::SignalRequestFinished);
    LogCapture capture;
    const std::string ignored = "delete of log package a.zip requested again before a listing showed the last one's result.";
    const QString url = QString::fromStdString(mServer->GetUrl());
    // Runs the listing (made when it was requested) and waits until it is shown.
    const auto list = [&](const CommandPtr& rListing) {
        const int before = finished.count();
        pController->StartWorker(rListing);
        ASSERT_TRUE(WaitFor([&] { return finished.count() == before + 1; }, 10000));
    };

    // Failed: tried again at once.
    mServer->SetFault("LogDeleteCollection", simserver::Fault::HttpError);
    mWorkspace.SlotDelete(QStringLiteral("a.zip"));
    ASSERT_TRUE(WaitFor([&] { return finished.count() == 1; }, 10000));
    CloseFailureBoxes(mWorkspace);
    mServer->SetFault("LogDeleteCollection", simserver::Fault::None);
    mWorkspace.SlotDelete(QStringLiteral("a.zip"));
    // A listing requested while the delete runs, as a poll can be.
    const CommandPtr pInFlight = boost::make_shared<CommandListLogCollections>(url);
    // Clicked twice quickly: sent once.
    mWorkspace.SlotDelete(QStringLiteral("a.zip"));
    EXPECT_EQ(capture.Matching(ignored).size(), 1u);
    ASSERT_TRUE(WaitFor([&] { return finished.count() == 2; }, 10000));
    EXPECT_EQ(mServer.Count("LogDeleteCollection"), 2);

    // The server has one of that name again; the listing in flight shows it.
    ASSERT_TRUE(mServer->AddCollection("a.zip", "again"));
    list(pInFlight);
    if (HasFatalFailure())
        return;
    EXPECT_EQ(Collections(mWorkspace), QStringList({QStringLiteral("a.zip"), QStringLiteral("b.zip")}));
    mWorkspace.SlotDelete(QStringLiteral("a.zip"));
    EXPECT_EQ(capture.Matching(ignored).size(), 2u);

    // Requested after the delete ended: the guard ends.
    list(boost::make_shared<CommandListLogCollections>(url));
    if (HasFatalFailure())
        return;
    mWorkspace.SlotDelete(QStringLiteral("a.zip"));
    EXPECT_EQ(capture.Matching(ignored).size(), 2u);
    ASSERT_TRUE(WaitFor([&] { return finished.count() == 5; }, 10000));
    EXPECT_EQ(mServer.Count("LogDeleteCollection"), 3);
    EXPECT_TRUE(FailureTexts(mWorkspace).isEmpty());
}

// The server selected in the Servers list leaves it: the workspace leaves
// the server, so nothing the operator does reaches it, and the status area
// says why; the next server chosen is the one the buttons act on.
TEST_F(WorkspaceTest, AServerThatLeftTheServersListIsLeft)
{
    tandriltest::TempDir otherFolder;
    LocalServer other(otherFolder.Path());
    ASSERT_TRUE(other.IsRunning());
    other->SetLogSources({{"systemlogs", "", 60}});
    ASSERT_TRUE(other->AddCollection("c.zip", "third"));
    tandriltest::TempDir target;
    SelectServer(target, 2);
    if (HasFatalFailure())
        return;
    ListLogWidget* pList = mWorkspace.findChild<ListLogWidget*>();
    QPushButton* pDeleteAll = nullptr;
    for (QPushButton* pButton : pList->findChildren<QPushButton*>())
        if (pButton->text() == QStringLiteral("Delete all"))
            pDeleteAll = pButton;
    ASSERT_NE(pDeleteAll, nullptr);
    ASSERT_TRUE(pDeleteAll->isEnabled());

    mWorkspace.SlotServerLeftList();
    EXPECT_EQ(mWorkspace.GetController(), nullptr);
    EXPECT_TRUE(PromptShown(mWorkspace));
    EXPECT_EQ(ServerLabel(mWorkspace).toStdString(), "Current server: ");
    EXPECT_TRUE(Collections(mWorkspace).isEmpty());
    EXPECT_FALSE(pDeleteAll->isEnabled());
    EXPECT_EQ(ShownNote(mWorkspace, "ActivityLabel").toStdString(),
              "Server srv1 (" + mServer->GetUrl() +
                  ") is no longer in the Servers list and was left; select it there when it is listed again.");
    // With nothing to leave, nothing changes.
    mWorkspace.SlotServerLeftList();
    EXPECT_TRUE(ShownNote(mWorkspace, "ActivityLabel").startsWith(QStringLiteral("Server srv1 ")));

    // "Delete all" acts on the server chosen next, and on it alone.
    mWorkspace.SlotActiveUrlChanged({Service(other.Url(), QStringLiteral("other"))});
    ASSERT_TRUE(WaitFor([&] { return Collections(mWorkspace) == QStringList({QStringLiteral("c.zip")}); }, 10000));
    ASSERT_TRUE(pDeleteAll->isEnabled());
    QTest::mouseClick(pDeleteAll, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return other->GetCollections().empty(); }, 10000));
    EXPECT_EQ(mServer.Count("LogDeleteAllCollections"), 0);
    EXPECT_EQ(mServer->GetCollections().size(), 2u);
}

// A server left for not answering while a download runs: the area gives
// the reason below the download, which goes on; the reason goes once the
// server, selected again, answers.
TEST_F(WorkspaceTest, TheNoteThatAServerWasLeftGoesWhenItAnswersAgain)
{
    tandriltest::TempDir target;
    SelectServer(target, 2);
    if (HasFatalFailure())
        return;
    mServer->SetAttachmentRate(2);
    mWorkspace.SlotFetch({QStringLiteral("b.zip")});
    ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogFetchCollection") == 1; }, 10000));

    const QString url = QString::fromStdString(mServer->GetUrl());
    const QString running = QStringLiteral("Running: Downloading log package \"b.zip\" from server srv1 (%1) into \"%2\"")
                                .arg(url, mWorkspace.mFolder);
    mWorkspace.SlotCommandHandlingFailed(boost::make_shared<CommandListAvailableLogs>(url));
    const QString left = ShownNote(mWorkspace, "ActivityLabel");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(running) +
                                   QStringLiteral(" \\.\\.\\.[^\n]*\nServer srv1 \\(") + QRegularExpression::escape(url) +
                                   QStringLiteral("\\) was left: its log sources could not be listed\\. [^\n]+ Select it in "
                                                  "the Servers list to try again\\.$"))
                    .match(left)
                    .hasMatch())
        << left.toStdString();

    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    ASSERT_TRUE(WaitFor([&] { return !ShownNote(mWorkspace, "ActivityLabel").contains(QStringLiteral("was left")); },
                        10000));
    EXPECT_TRUE(ShownNote(mWorkspace, "ActivityLabel").startsWith(running)) << ShownNote(mWorkspace, "ActivityLabel").toStdString();
}

// A listed name is read as the name a download stores, whether the server
// keeps its texts as UTF-8 or as bytes (then listing Windows-1252 bytes as
// C1 characters): the list, the boxes and the status line show that name,
// and once the collection is here a second download of it from the list is
// refused before anything is transferred. A name that could pass for
// another is shown so that it cannot; its download, like that of a blank
// name, is refused before anything is sent, saying why.
TEST_F(WorkspaceTest, TheListedNameIsTheNameStored)
{
    tandriltest::TempDir target;
    SelectServer(target, 2);
    if (HasFatalFailure())
        return;
    QTableWidget* pTable = mWorkspace.findChild<ListLogWidget*>()->findChild<QTableWidget*>();
    QStringList boxes;
    ModalDriver driver([&](QDialog* pDialog) {
        boxes.append(pDialog->windowTitle() + QLatin1Char('|') + BoxText(*pDialog));
        pDialog->accept();
    });
    const QString server = QStringLiteral("srv1 (%1)").arg(QString::fromStdString(mServer->GetUrl()));
    // No download reaches the server while it is listed twice more.
    const auto ExpectNoFetchSince = [this](int fetches) {
        const int listings = mServer.Count("LogListCollections");
        ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogListCollections") >= listings + 2; }));
        EXPECT_EQ(mServer.Count("LogFetchCollection"), fetches);
    };
    const struct
    {
        const char* mpCase;
        bool mByteStrings;
        std::string mName; // as the server holds it
        QString mShown;
        QString mRefusal; // empty: downloaded
    } cases[] = {
        {"UTF-8", false, "R\xC3\xA9gie \xE2\x80\x93 \xE2\x82\xAC.zip", QStringLiteral(u"R\u00E9gie \u2013 \u20AC.zip"), {}},
        {"Windows-1252 bytes", true, "Log \x96 1 \x80.zip", QStringLiteral(u"Log \u2013 1 \u20AC.zip"), {}},
        {"UTF-8 bytes", true, "caf\xC3\xA9.zip", QStringLiteral(u"caf\u00E9.zip"), {}},
        {"right-to-left override", false, "coll\xE2\x80\xAEpiz.exe", QStringLiteral("coll<U+202E>piz.exe"),
         QStringLiteral("holds the invisible format character U+202E")},
        {"blanks", false, "   ", QStringLiteral("<U+0020><U+0020><U+0020>"), QStringLiteral("is blank")},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpCase);
        mServer->SetByteStrings(rCase.mByteStrings);
        ASSERT_TRUE(mServer->AddCollection(rCase.mName, "0123456789"));
        int row = -1;
        ASSERT_TRUE(WaitFor([&] {
            const QList<QTableWidgetItem*> shown = pTable->findItems(rCase.mShown, Qt::MatchExactly);
            row = shown.isEmpty() ? -1 : shown.first()->row();
            return row >= 0;
        })) << Collections(mWorkspace).join(QLatin1Char('|')).toStdString();
        const auto click = [&](const QString& rButton) {
            pTable->clearSelection();
            pTable->selectRow(row);
            for (QPushButton* pButton : mWorkspace.findChild<ListLogWidget*>()->findChildren<QPushButton*>())
                if (pButton->text() == rButton)
                    pButton->click();
        };
        const auto download = [&] { click(QStringLiteral("Download")); };
        const int fetches = mServer.Count("LogFetchCollection");
        const int asked = mWorkspace.mAsked;
        boxes.clear();
        if (!rCase.mRefusal.isEmpty())
        {
            download();
            ASSERT_EQ(boxes.size(), 1);
            EXPECT_EQ(boxes.first().toStdString(),
                      QStringLiteral("Download Error|These log packages are not downloaded, as their names cannot be "
                                     "used for a file on this computer:\n%1 %2")
                          .arg(rCase.mShown, rCase.mRefusal)
                          .toStdString());
            EXPECT_EQ(mWorkspace.mAsked, asked);
            ExpectNoFetchSince(fetches);
            // Deleting it names the server's collection; its failure shows
            // the name as the list does.
            mServer->SetFault("LogDeleteCollection", simserver::Fault::Soap11Fault);
            click(QStringLiteral("Delete"));
            ASSERT_TRUE(WaitFor([&] { return FailureTexts(mWorkspace).size() == 1; }));
            EXPECT_TRUE(FailureTexts(mWorkspace).first().startsWith(
                QStringLiteral("Deleting log package \"%1\" failed on server %2.").arg(rCase.mShown, server)))
                << FailureTexts(mWorkspace).first().toStdString();
            std::string deleted;
            for (const simserver::ReceivedRequest& rRequest : mServer->GetRequests())
                if (rRequest.mOperation == "LogDeleteCollection")
                    deleted = rRequest.mFileName;
            EXPECT_EQ(deleted, rCase.mName);
            mServer->SetFault("LogDeleteCollection", simserver::Fault::None);
            CloseFailureBoxes(mWorkspace);
            continue;
        }
        // Slow enough to click again while it runs.
        mServer->SetAttachmentRate(5);
        download();
        ASSERT_TRUE(WaitFor([&] { return mServer.Count("LogFetchCollection") == fetches + 1; }));
        const QString work = QStringLiteral("Downloading log package \"%1\" from server %2 into \"%3\"")
                                 .arg(rCase.mShown, server, mWorkspace.mFolder);
        EXPECT_TRUE(ShownNote(mWorkspace, "ActivityLabel").contains(QStringLiteral("Running: ") + work))
            << ShownNote(mWorkspace, "ActivityLabel").toStdString();
        download();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes.first().toStdString(),
                  QStringLiteral("Already Running|These log packages are already being downloaded from server %1:\n%2")
                      .arg(server, rCase.mShown)
                      .toStdString());
        const QString stored = mWorkspace.mFolder + QLatin1Char('/') + rCase.mShown;
        const QString done = QStringLiteral("Done: %1; saved as \"%2\".").arg(work, stored);
        // Earlier cases' ends stay listed below it.
        ASSERT_TRUE(WaitFor([&] { return ShownNote(mWorkspace, "ActivityLabel").split('\n').contains(done); }, 15000))
            << ShownNote(mWorkspace, "ActivityLabel").toStdString() << FailureTexts(mWorkspace).join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(tandriltest::ReadFile(QFile::encodeName(stored).toStdString()), "0123456789");

        // Here now: refused before a transfer.
        mServer->SetAttachmentRate(0);
        download();
        ASSERT_EQ(boxes.size(), 2);
        EXPECT_EQ(boxes.last().toStdString(),
                  QStringLiteral("Download Error|The following files already exists locally.\n%1").arg(rCase.mShown).toStdString());
        ExpectNoFetchSince(fetches + 1);
    }
}

// The server is left, or another one selected, while the operator chooses
// the folder of a download or a gather (or reads a box before that): the
// work reaches no server, and a box says why and that nothing was done. A
// server selected again by then is the one the work was chosen for.
TEST_F(WorkspaceTest, AWorkWhoseServerWasLeftWhileItsFolderWasChosenIsSaidNotDone)
{
    tandriltest::TempDir otherFolder;
    LocalServer other(otherFolder.Path());
    ASSERT_TRUE(other.IsRunning());
    other->SetLogSources({{"systemlogs", "", 60}});
    ASSERT_TRUE(other->AddCollection("b.zip", "other"));
    const QString url = QString::fromStdString(mServer->GetUrl());
    const QString server = QStringLiteral("srv1 (%1)").arg(url);
    const QString leftList =
        QStringLiteral("Server %1 is no longer in the Servers list and was left; select it there when it is listed "
                       "again.")
            .arg(server);
    const auto leave = [&] { mWorkspace.SlotServerLeftList(); };
    const auto failSources = [&] {
        mWorkspace.SlotCommandHandlingFailed(boost::make_shared<CommandListAvailableLogs>(url));
    };
    const auto selectOther = [&] { mWorkspace.SlotActiveUrlChanged({Service(other.Url(), QStringLiteral("other"))}); };
    const auto leaveAndReturn = [&] {
        mWorkspace.SlotServerLeftList();
        mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    };
    const QString work = QStringLiteral("\nNothing was downloaded.");
    const struct
    {
        const char* mpCase;
        bool mGather;
        bool mBeforeTheDialog; // while the box on an unusable name is open
        std::function<void()> mMeanwhile;
        QString mBox; // empty: done on its server
    } cases[] = {
        {"a download, the server leaves the list", false, false, leave,
         QStringLiteral("Download Error|") + leftList + work},
        {"a gather, the server leaves the list", true, false, leave,
         QStringLiteral("Gathering Error|") + leftList + QStringLiteral("\nNothing was gathered.")},
        {"a download, the server's log sources cannot be listed", false, false, failSources,
         QStringLiteral("Download Error|Server %1 was left: its log sources could not be listed. No details; the "
                        "program's log has more. Select it in the Servers list to try again.")
                 .arg(server) +
             work},
        {"a download, another server is selected", false, false, selectOther,
         QStringLiteral("Download Error|Server %1 is no longer the selected server: another one was selected "
                        "meanwhile.")
                 .arg(server) +
             work},
        {"a download, the server leaves the list while a box is open", false, true, leave,
         QStringLiteral("Download Error|") + leftList + work},
        {"a download, the server leaves the list and is selected again", false, false, leaveAndReturn, QString()},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpCase);
        tandriltest::TempDir target;
        mWorkspace.SlotActiveUrlChanged({});
        SelectServer(target, 2);
        if (HasFatalFailure())
            return;
        QStringList boxes;
        ModalDriver driver([&](QDialog* pDialog) {
            boxes.append(pDialog->windowTitle() + QLatin1Char('|') + BoxText(*pDialog));
            if (rCase.mBeforeTheDialog && boxes.size() == 1)
                rCase.mMeanwhile();
            pDialog->accept();
        });
        const std::size_t requests = mServer->GetRequests().size();
        const std::size_t otherRequests = other->GetRequests().size();
        const int asked = mWorkspace.mAsked;
        LogCapture capture;
        mWorkspace.mWhileAsked = rCase.mBeforeTheDialog ? std::function<void()>() : rCase.mMeanwhile;
        if (rCase.mGather)
            mWorkspace.SlotGather();
        else if (rCase.mBeforeTheDialog)
            mWorkspace.SlotFetch({QStringLiteral("   "), QStringLiteral("b.zip")});
        else
            mWorkspace.SlotFetch({QStringLiteral("b.zip")});
        mWorkspace.mWhileAsked = nullptr;
        EXPECT_EQ(mWorkspace.mAsked, asked + (rCase.mBeforeTheDialog ? 0 : 1));
        for (QWidget* pBox : mWorkspace.findChildren<QWidget*>(QStringLiteral("ConnectionErrorBox")))
            pBox->close();

        if (rCase.mBox.isEmpty())
        {
            // Downloaded from the server chosen again, the one it was chosen on.
            EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char('|')).toStdString();
            EXPECT_TRUE(WaitFor([&] { return tandriltest::ReadFile(target.File("b.zip")) == "second"; }, 10000));
            continue;
        }
        ASSERT_EQ(boxes.size(), rCase.mBeforeTheDialog ? 2 : 1) << boxes.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(boxes.last().toStdString(), rCase.mBox.toStdString());
        const QString logged = QString(rCase.mBox.section(QLatin1Char('|'), 1)).replace(QLatin1Char('\n'), QLatin1Char(' '));
        const auto records = capture.Matching(logged.toStdString());
        ASSERT_EQ(records.size(), 1u) << logged.toStdString();
        EXPECT_EQ(records[0].mLevel, 3);
        EXPECT_EQ(records[0].mCategory, "Maintenance");
        // Nothing started: no work on the status line, nothing here.
        EXPECT_FALSE(ShownNote(mWorkspace, "ActivityLabel").contains(QStringLiteral("Running: ")))
            << ShownNote(mWorkspace, "ActivityLabel").toStdString();
        EXPECT_TRUE(QDir(QString::fromStdString(target.Path())).entryList(QDir::Files | QDir::Hidden).isEmpty());
        // Nor on either server, while each is listed twice more.
        mWorkspace.SlotActiveUrlChanged({});
        for (LocalServer* pServer : {&mServer, &other})
        {
            mWorkspace.SlotActiveUrlChanged({Service(pServer->Url(), QStringLiteral("listed"))});
            const int listings = pServer->Count("LogListCollections");
            ASSERT_TRUE(WaitFor([&] { return pServer->Count("LogListCollections") >= listings + 2; }, 10000));
        }
        for (const auto& rSent : {mServer->GetRequests(requests), other->GetRequests(otherRequests)})
            for (const simserver::ReceivedRequest& rRequest : rSent)
                EXPECT_TRUE(rRequest.mOperation != "LogFetchCollection" &&
                            rRequest.mOperation != "LogCreateAndFetchCollection")
                    << rRequest.mOperation;
    }
}

TEST(WorkspaceLabelTest, ServerLabelShortensTheUrl)
{
    WorkspaceWidget workspace;
    const struct
    {
        const char* mName;
        const char* mUrl;
        const char* mText;
    } cases[] = {{"srv1", "http://10.0.0.5:8070", "Current server: srv1 (10.0.0.5)"},
                 {"", "http://10.0.0.5:8071", "Current server: 10.0.0.5:8071"},
                 {"srv", "", "Current server: srv"},
                 {"", "", "Current server: "}};
    for (const auto& rCase : cases)
    {
        workspace.SetServerLabel(QString::fromLatin1(rCase.mName), QString::fromLatin1(rCase.mUrl));
        EXPECT_EQ(ServerLabel(workspace), QString::fromLatin1(rCase.mText));
    }
}
