// The program's repository and the connection controller: the process-wide
// repository, the requested service kinds, the filter file read under the
// configuration name, and the repository signals reaching the model.

#include "ServiceFactory.h"

#include <clientview/ClientWebServiceRepository.h>
#include <clientview/ConnectionController.h>
#include <clientview/ConnectionModel.h>

#include <joxwsdd/QNames.h>
#include <joxwsdd/WSDDClient.h>

#include <joxconfig/ConfigHandlerWsddConfig.h>
#include <joxconfig/ConfigLocations.h>
#include <joxconfig/ConfigWsddClient.h>

#include <boost/make_shared.hpp>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

using JoxWsdd::ClientWebServiceRepository;
using JoxWsdd::ConnectionController;
using JoxWsdd::ConnectionModel;
using JoxWsdd::WebServiceInfo;
using JoxWsdd::WebServiceInfoPtr;

namespace {

class ExposedRepository : public ClientWebServiceRepository
{
public:
    using ClientWebServiceRepository::ClientWebServiceRepository;
    using ClientWebServiceRepository::IsMatch;
};

QString FilterFilePath()
{
    return JoxConfig::ConfigFilePath(JoxConfig::ConfigFileWsddClient, JoxConfig::ProductNone);
}

// Writes the filter file with one static entry under the group suffix.
void WriteStaticEntry(const QString& rSuffix, const QString& rIp, int port)
{
    QDir().mkpath(QFileInfo(FilterFilePath()).path());
    JoxConfig::ConfigHandlerWsddConfig handler(FilterFilePath(), 1.0, 0);
    const auto pConfig = boost::make_shared<JoxConfig::ConfigWsddClient>(rSuffix);
    pConfig->AddStaticEntry(
        boost::make_shared<JoxConfig::ConfigWsddClientEntry>(rIp, port, QStringLiteral("CHANNEL"), QString()));
    handler.saveSettings(pConfig);
}

std::vector<QString> Urls(const ConnectionModel& rModel)
{
    std::vector<QString> urls;
    for (int row = 0; row < rModel.rowCount(); ++row)
        urls.push_back(rModel.GetService(row)->GetUrl());
    return urls;
}

class ControllerTest : public ::testing::Test
{
protected:
    ControllerTest()
        : mClient(std::vector<JoxWsdd::WSDDClient::ClientThreadParameter>{}),
          mpController(ConnectionController::Instance()),
          mpModel(mpController->GetModel())
    {
        QFile::remove(FilterFilePath());
        mpController->SetConfigurationName(QStringLiteral("Tandril"));
        mpModel->Clear();
    }

    ~ControllerTest() override { QFile::remove(FilterFilePath()); }

    JoxWsdd::WSDDClient mClient;
    ConnectionController* mpController;
    ConnectionModel* mpModel;
};

} // namespace

TEST_F(ControllerTest, InstanceIsOneControllerOwningItsModel)
{
    EXPECT_EQ(ConnectionController::Instance(), mpController);
    ASSERT_NE(mpModel, nullptr);
    EXPECT_EQ(static_cast<QObject*>(mpModel)->parent(), mpController);
    EXPECT_EQ(mpController->GetConfigurationName(), QStringLiteral("Tandril"));
}

TEST_F(ControllerTest, WithoutRepositoryRefreshChangesNothing)
{
    ASSERT_EQ(ClientWebServiceRepository::GetInstance(), nullptr);
    WriteStaticEntry(QStringLiteral("Tandril"), QStringLiteral("10.0.0.7"), 8013);
    mpModel->AddSorted(clientviewtest::Service("http://10.0.0.1:8080", "service_name__MAINTENANCE"));
    mpController->Refresh();
    mpController->ReloadSettings();
    EXPECT_EQ(Urls(*mpModel), std::vector<QString>{QStringLiteral("http://10.0.0.1:8080")});
}

TEST_F(ControllerTest, FirstRepositoryIsTheProcessWideOne)
{
    EXPECT_THROW(ClientWebServiceRepository(nullptr), std::invalid_argument);
    EXPECT_EQ(ClientWebServiceRepository::GetInstance(), nullptr);
    {
        const auto pFirst = boost::make_shared<ClientWebServiceRepository>(&mClient);
        EXPECT_EQ(ClientWebServiceRepository::GetInstance(), pFirst.get());
        {
            const auto pSecond = boost::make_shared<ClientWebServiceRepository>(&mClient);
            EXPECT_EQ(ClientWebServiceRepository::GetInstance(), pFirst.get());
        }
        EXPECT_EQ(ClientWebServiceRepository::GetInstance(), pFirst.get());
        EXPECT_TRUE(QMetaType::fromName("WebServiceInfoPtr").isValid());
    }
    EXPECT_EQ(ClientWebServiceRepository::GetInstance(), nullptr);
}

TEST_F(ControllerTest, RepositoryAsksForTheProgramsServiceKinds)
{
    ExposedRepository repository(&mClient);
    for (const char* pName :
         {"MOS", "QUOREL", "MAINTENANCE", "FIMS_capture", "FIMS_transfer", "FIMS_transform", "FALDRUNE", "HARLEN"})
        EXPECT_TRUE(repository.IsMatch(JoxWsdd::SplitQNames((std::string("service_name__") + pName).c_str()), nullptr))
            << pName;
    for (const char* pName : {"CHANNEL", "MACHINE", "maintenance", ""})
        EXPECT_FALSE(repository.IsMatch(JoxWsdd::SplitQNames((std::string("service_name__") + pName).c_str()), nullptr))
            << pName;
}

TEST_F(ControllerTest, RefreshReadsTheFilterUnderTheConfigurationName)
{
    WriteStaticEntry(QStringLiteral("Tandril"), QStringLiteral("10.0.0.7"), 8013);
    WriteStaticEntry(QString(), QStringLiteral("10.0.0.8"), 8014);
    const auto pRepository = boost::make_shared<ClientWebServiceRepository>(&mClient);
    mpModel->AddSorted(clientviewtest::Service("http://10.0.0.1:8080", "service_name__MAINTENANCE"));

    mpController->Refresh();
    EXPECT_EQ(Urls(*mpModel), std::vector<QString>{QStringLiteral("10.0.0.7:8013")});
    ASSERT_EQ(mpModel->rowCount(), 1);
    EXPECT_TRUE(mpModel->GetService(0)->IsStatic());

    // Each refresh empties the model first; the static entry comes back once.
    mpController->Refresh();
    EXPECT_EQ(Urls(*mpModel), std::vector<QString>{QStringLiteral("10.0.0.7:8013")});

    // The signals are connected once: one report, one addition.
    QSignalSpy added(mpModel, &ConnectionModel::SignalServiceAdded);
    QSignalSpy changed(mpModel, &ConnectionModel::SignalServiceChanged);
    QSignalSpy errors(mpModel, &ConnectionModel::SignalError);
    const WebServiceInfoPtr pFound = clientviewtest::Service("http://10.0.0.2:8080", "service_name__MAINTENANCE");
    emit pRepository->ServiceAdded(pFound);
    EXPECT_EQ(added.size(), 1);
    EXPECT_EQ(changed.size(), 0);
    const WebServiceInfoPtr pNewer =
        clientviewtest::Service("http://10.0.0.2:8080", "service_name__MAINTENANCE status_name__active");
    emit pRepository->ServiceChanged(pFound, pNewer);
    EXPECT_EQ(mpModel->GetService(1), pNewer);
    emit pRepository->ServiceRemoved(pNewer);
    EXPECT_EQ(Urls(*mpModel), std::vector<QString>{QStringLiteral("10.0.0.7:8013")});
    emit pRepository->WSDDError(QStringLiteral("bind failed"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors.at(0).at(0).toString(), QStringLiteral("bind failed"));
}

TEST_F(ControllerTest, MissingFileGivesAnEmptyListAndALaterRepositoryIsConnected)
{
    {
        const auto pFirst = boost::make_shared<ClientWebServiceRepository>(&mClient);
        mpController->Refresh();
        EXPECT_EQ(mpModel->rowCount(), 0);
    }
    // A repository built after the first one ended still reaches the model.
    const auto pLater = boost::make_shared<ClientWebServiceRepository>(&mClient);
    mpController->Refresh();
    emit pLater->ServiceAdded(clientviewtest::Service("http://10.0.0.3:8080", "service_name__MAINTENANCE"));
    EXPECT_EQ(Urls(*mpModel), std::vector<QString>{QStringLiteral("http://10.0.0.3:8080")});
}
