#include <gui/CreateLogWidget.h>
#include <gui/ListLogWidget.h>
#include <gui/LogEntryWidget.h>
#include <gui/WorkspaceWidget.h>

#include "ControllerTestSupport.h"
#include "ModalDriver.h"
#include "TempDir.h"

#include <joxconfig/LocalIpMatcher.h>
#include <joxmaintenance/CommandPollWorker.h>
#include <joxmaintenance/MaintenanceController.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

using namespace joxmaintenance;
using controllertest::LocalServer;
using controllertest::LogCapture;
using joxguitest::ModalDriver;

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

// A workspace whose folder question answers with a fixed folder.
class TestWorkspace : public WorkspaceWidget
{
public:
    QString mFolder;
    int mAsked = 0;

protected:
    QString ChooseFolder() override
    {
        ++mAsked;
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
        mWorkspace.SlotActiveUrlChanged({});
        CommandPollWorker::SetIntervalsForTesting(5000, 60000);
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    // "127.0.0.1:port" without scheme.
    QString HostPort() { return QString::fromStdString(mServer->GetUrl()).mid(7); }

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

    QTRY_VERIFY_WITH_TIMEOUT(mWorkspace.findChild<LogEntryWidget*>(QStringLiteral("Logs")) != nullptr, 10000);
    EXPECT_NE(mWorkspace.findChild<LogEntryWidget*>(QStringLiteral("Agent logs")), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The name is the selected one or, once the information query came
    // back, the server's own.
    EXPECT_TRUE(ServerLabel(mWorkspace).startsWith(QStringLiteral("Current server: ")));
    EXPECT_TRUE(ServerLabel(mWorkspace).endsWith(QStringLiteral(" (%1)").arg(HostPort()))) << ServerLabel(mWorkspace).toStdString();
    QTRY_COMPARE_WITH_TIMEOUT(Collections(mWorkspace), QStringList({QStringLiteral("a.zip"), QStringLiteral("b.zip")}), 10000);

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
    mWorkspace.SlotActiveUrlChanged({boost::make_shared<JoxWsdd::WebServiceInfo>()});
    EXPECT_EQ(title, QStringLiteral("Connection Error"));
    EXPECT_EQ(text, QStringLiteral("Could not determine server for chosen URL."));
    EXPECT_EQ(mWorkspace.GetController(), nullptr);
    EXPECT_TRUE(PromptShown(mWorkspace));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ServerLabel(mWorkspace), QStringLiteral("Current server: "));
    EXPECT_EQ(capture.Matching("Could not connect to server with IP http:// - exception: ").size(), 1u);
}

TEST_F(WorkspaceTest, FailedSourceListingShowsANonModalBoxAndDropsTheServer)
{
    mServer->SetFault("LogList", simserver::Fault::Soap11Fault);
    mWorkspace.show();
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    QTRY_VERIFY_WITH_TIMEOUT(mWorkspace.GetController() == nullptr, 10000);
    QPointer<QWidget> pBox = mWorkspace.findChild<QWidget*>(QStringLiteral("ConnectionErrorBox"));
    ASSERT_FALSE(pBox.isNull());
    EXPECT_TRUE(pBox->isVisible());
    EXPECT_FALSE(pBox->isModal());
    EXPECT_EQ(pBox->windowTitle(), QStringLiteral("Connection Error"));
    bool found = false;
    for (QLabel* pLabel : pBox->findChildren<QLabel*>())
        found = found || pLabel->text() == QStringLiteral("Could not request log list from server: %1.\nNo connection to server available.")
                                               .arg(QString::fromStdString(mServer->GetUrl()));
    EXPECT_TRUE(found);
    EXPECT_TRUE(PromptShown(mWorkspace));
    pBox->close();
    QTRY_VERIFY_WITH_TIMEOUT(pBox.isNull(), 5000);
}

TEST_F(WorkspaceTest, DownloadSkipsCollectionsThatExistLocally)
{
    tandriltest::TempDir target;
    tandriltest::WriteFile(target.File("a.zip"), "local");
    mWorkspace.mFolder = QString::fromStdString(target.Path());
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    QTRY_COMPARE_WITH_TIMEOUT(Collections(mWorkspace).size(), 2, 10000);

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
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(tandriltest::ReadFile(target.File("b.zip"))), QStringLiteral("second"), 10000);
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
    QTRY_COMPARE_WITH_TIMEOUT(Collections(mWorkspace).size(), 2, 10000);

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
    QTRY_VERIFY_WITH_TIMEOUT(mWorkspace.findChild<LogEntryWidget*>(QStringLiteral("Logs")) != nullptr, 10000);
    mWorkspace.SlotGather();
    QTRY_COMPARE_WITH_TIMEOUT(QDir(mWorkspace.mFolder).entryList(QDir::Files).size(), 1, 10000);
    EXPECT_EQ(mServer.Count("LogCreateAndFetchCollection"), 1);
}

TEST_F(WorkspaceTest, DeleteAndClearReachTheServer)
{
    mWorkspace.SlotActiveUrlChanged({Service(HostPort(), QStringLiteral("srv1"))});
    QTRY_COMPARE_WITH_TIMEOUT(Collections(mWorkspace).size(), 2, 10000);
    LogCapture capture;
    mWorkspace.SlotDelete(QString());
    EXPECT_EQ(capture.Matching("delete logfile with empty name requested. Ignore.").size(), 1u);
    mWorkspace.SlotDelete(QStringLiteral("a.zip"));
    QTRY_COMPARE_WITH_TIMEOUT(Collections(mWorkspace), QStringList({QStringLiteral("b.zip")}), 10000);
    mWorkspace.SlotClearLogEntries();
    QTRY_VERIFY_WITH_TIMEOUT(Collections(mWorkspace).isEmpty(), 10000);
    EXPECT_TRUE(mServer->GetCollections().empty());
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
