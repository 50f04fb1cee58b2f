#include <clientview/ConnectionController.h>

#include <clientview/ClientWebServiceRepository.h>
#include <clientview/ConnectionModel.h>

#include <joxconfig/ConfigHandlerWsddConfig.h>
#include <joxconfig/ConfigLocations.h>
#include <joxconfig/ConfigWsddClient.h>

namespace JoxWsdd {

ConnectionController* ConnectionController::Instance()
{
    static ConnectionController controller;
    return &controller;
}

ConnectionController::ConnectionController()
    : QObject(nullptr), mpModel(new ConnectionModel(this))
{
}

ConnectionController::~ConnectionController() = default;

void ConnectionController::ReloadSettings()
{
    ClientWebServiceRepository* pRepository = ClientWebServiceRepository::GetInstance();
    if (pRepository == nullptr)
        return;
    mpModel->Clear();
    const QString path = JoxConfig::ConfigFilePath(JoxConfig::ConfigFileWsddClient, JoxConfig::ProductNone);
    JoxConfig::ConfigHandlerWsddConfig handler(path, 1.0, 0);
    const JoxConfig::ConfigWsddClientPtr pConfig = handler.CreateConfig(mConfigurationName);
    if (pConfig)
        pRepository->ReadSettings(*pConfig);
}

void ConnectionController::Refresh()
{
    ClientWebServiceRepository* pRepository = ClientWebServiceRepository::GetInstance();
    if (pRepository == nullptr)
        return;
    emit SignalRefreshStarted();
    ReloadSettings();
    if (mpConnected != pRepository)
    {
        connect(pRepository, &WebServiceRepositoryWithFilter::ServiceAdded, this,
                &ConnectionController::SlotAddService);
        connect(pRepository, &WebServiceRepositoryWithFilter::ServiceRemoved, this,
                &ConnectionController::SlotRemoveService);
        connect(pRepository, &WebServiceRepositoryWithFilter::ServiceChanged, this,
                &ConnectionController::SlotChanged);
        connect(pRepository, &WebServiceRepositoryWithFilter::WSDDError, this, &ConnectionController::SlotError);
        mpConnected = pRepository;
    }
    pRepository->RefreshServices();
}

void ConnectionController::SlotAddService(WebServiceInfoPtr pEntry)
{
    mpModel->AddSorted(pEntry);
}

void ConnectionController::SlotRemoveService(WebServiceInfoPtr pEntry)
{
    mpModel->Remove(pEntry);
}

void ConnectionController::SlotChanged(WebServiceInfoPtr pPrevious, WebServiceInfoPtr pEntry)
{
    mpModel->Changed(pPrevious, pEntry);
}

void ConnectionController::SlotError(QString text)
{
    mpModel->SetError(text);
}

} // namespace JoxWsdd
