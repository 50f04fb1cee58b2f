// The controller over a real discovery client inside a private network
// namespace: a refresh probes, and the answer reaches the model queued.

#include "NetnsSandbox.h"
#include "TargetProcess.h"

#include <clientview/ClientWebServiceRepository.h>
#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>

#include <joxwsdd/WSDDClient.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <QTest>

TEST(ControllerNetworkTest, RefreshFillsTheModelFromProbeAnswers)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    JoxWsdd::WSDDClient::ClientThreadParameter loopback;
    loopback.mIp = "127.0.0.1";
    JoxWsdd::WSDDClient client({loopback});
    const auto pRepository = boost::make_shared<JoxWsdd::ClientWebServiceRepository>(&client);
    ASSERT_TRUE(client.AddObserver(pRepository));
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.WaitForThreadRunning(2000));

    JoxWsdd::ConnectionController* pController = JoxWsdd::ConnectionController::Instance();
    pController->SetConfigurationName(QStringLiteral("Tandril"));
    JoxWsdd::ConnectionModel* pModel = pController->GetModel();
    pelwicktest::TargetProcess target({"--types", "service_name__MAINTENANCE status_name__free", "--xaddrs",
                                       "http://127.0.0.1:8080/maintenance"});
    ASSERT_TRUE(target.IsReady());

    pController->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pModel->rowCount() == 1; }, 5000));
    EXPECT_EQ(pModel->GetService(0)->GetUrl(), QStringLiteral("http://127.0.0.1:8080/maintenance"));
    EXPECT_EQ(pModel->GetService(0)->GetEndpoint(), target.GetEndpoint());

    // A second refresh empties the list and finds the service again.
    pController->Refresh();
    EXPECT_EQ(pModel->rowCount(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pModel->rowCount() == 1; }, 5000));

    EXPECT_TRUE(target.Stop());
    ASSERT_TRUE(QTest::qWaitFor([&] { return pModel->rowCount() == 0; }, 5000));
}
