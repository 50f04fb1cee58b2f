// The controller over a real discovery client inside a private network
// namespace: a refresh probes, and the answer reaches the model queued; an
// address the address dialog enables again is probed on at once.

#include "ModalDriver.h"
#include "NetnsSandbox.h"
#include "TargetProcess.h"

#include <clientview/ClientWebServiceRepository.h>
#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>
#include <clientview/RunConfigDialog.h>
#include <clientview/WsddIpConfigDialog.h>

#include <joxconfig/ConfigHandlerWsddConfig.h>
#include <joxconfig/ConfigLocations.h>
#include <joxwsdd/WSDDClient.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace {

// A discovery client with one worker on loopback that fills a service
// repository, the controller on the "Tandril" configuration and a target
// that announces a free maintenance service.
struct LoopbackDiscovery
{
    static JoxWsdd::WSDDClient::ClientThreadParameter Loopback()
    {
        JoxWsdd::WSDDClient::ClientThreadParameter loopback;
        loopback.mIp = "127.0.0.1";
        return loopback;
    }

    // Starts the client and waits for its worker, names the controller's
    // configuration, then starts the target.
    ::testing::AssertionResult Start()
    {
        const ::testing::AssertionResult client = StartClient();
        return client ? StartTarget() : client;
    }

    ::testing::AssertionResult StartClient()
    {
        if (!mClient.AddObserver(mpRepository))
            return ::testing::AssertionFailure() << "the repository was not registered";
        if (!mClient.Start())
            return ::testing::AssertionFailure() << "the client did not start";
        if (!mClient.WaitForThreadRunning(2000))
            return ::testing::AssertionFailure() << "the worker did not run within 2 s";
        JoxWsdd::ConnectionController::Instance()->SetConfigurationName(QStringLiteral("Tandril"));
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult StartTarget()
    {
        mpTarget = std::make_unique<pelwicktest::TargetProcess>(std::vector<std::string>{
            "--types", "service_name__MAINTENANCE status_name__free", "--xaddrs", "http://127.0.0.1:8080/maintenance"});
        if (!mpTarget->IsReady())
            return ::testing::AssertionFailure() << "the target is not ready";
        return ::testing::AssertionSuccess();
    }

    JoxWsdd::WSDDClient mClient{{Loopback()}};
    const boost::shared_ptr<JoxWsdd::ClientWebServiceRepository> mpRepository =
        boost::make_shared<JoxWsdd::ClientWebServiceRepository>(&mClient);
    std::unique_ptr<pelwicktest::TargetProcess> mpTarget;
};

} // namespace

TEST(ControllerNetworkTest, RefreshFillsTheModelFromProbeAnswers)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    LoopbackDiscovery discovery;
    ASSERT_TRUE(discovery.Start());

    JoxWsdd::ConnectionController* pController = JoxWsdd::ConnectionController::Instance();
    JoxWsdd::ConnectionModel* pModel = pController->GetModel();

    pController->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pModel->rowCount() == 1; }, 5000));
    EXPECT_EQ(pModel->GetService(0)->GetUrl(), QStringLiteral("http://127.0.0.1:8080/maintenance"));
    EXPECT_EQ(pModel->GetService(0)->GetEndpoint(), discovery.mpTarget->GetEndpoint());

    // A second refresh empties the list and finds the service again.
    pController->Refresh();
    EXPECT_EQ(pModel->rowCount(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pModel->rowCount() == 1; }, 5000));

    EXPECT_TRUE(discovery.mpTarget->Stop());
    ASSERT_TRUE(QTest::qWaitFor([&] { return pModel->rowCount() == 0; }, 5000));
}

TEST(ControllerNetworkTest, AddressEnabledAgainInTheDialogIsProbedAtOnce)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    const QString path = JoxConfig::ConfigFilePath(JoxConfig::ConfigFileWsddClient, JoxConfig::ProductNone);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    {
        JoxConfig::ConfigHandlerWsddConfig handler(path, 1.0, 0);
        const auto pConfig = boost::make_shared<JoxConfig::ConfigWsddClient>(QStringLiteral("Tandril"));
        pConfig->AddMutedLocalIp(boost::make_shared<JoxConfig::ConfigWsddClientEntry>(
            QStringLiteral("127.0.0.1:0"), QStringLiteral("MACHINE"), QString()));
        ASSERT_TRUE(handler.saveSettings(pConfig));
    }

    LoopbackDiscovery discovery;
    ASSERT_TRUE(discovery.StartClient());
    JoxWsdd::ConnectionController* pController = JoxWsdd::ConnectionController::Instance();
    JoxWsdd::ConnectionModel* pModel = pController->GetModel();

    // Muted, the only worker is silent: the service's Hello and the probes
    // find nothing.
    pController->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !discovery.mClient.WaitForThreadRunning(0); }, 5000));
    ASSERT_TRUE(discovery.StartTarget());
    pController->Refresh();
    QTest::qWait(500);
    EXPECT_EQ(pModel->rowCount(), 0);

    // The operator ticks the address again and saves; no refresh is pressed.
    const auto pDialog = boost::make_shared<JoxWsdd::WsddIpConfigDialog>(QStringList{QStringLiteral("127.0.0.1")});
    joxguitest::ModalDriver driver([&pDialog](QDialog* pShown) {
        QCheckBox* pBox = pDialog->GetCheckBoxes().front();
        EXPECT_FALSE(pBox->isChecked());
        pBox->setChecked(true);
        pShown->findChild<QPushButton*>()->click();
    });
    EXPECT_TRUE(JoxWsdd::RunConfigDialog(pDialog, QStringLiteral("IP-Configuration"), QStringLiteral("Tandril")));
    // The worker listened before the probes went out, so no answer was lost.
    EXPECT_TRUE(discovery.mClient.WaitForThreadRunning(0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return pModel->rowCount() == 1; }, 5000));
    QFile::remove(path);
}
