#include <clientview/ClientWebServiceRepository.h>

#include <QMetaType>

namespace JoxWsdd {

namespace {

// Written only by the first repository's constructor and destructor.
ClientWebServiceRepository* gpClientRepository = nullptr;

} // namespace

ClientWebServiceRepository::ClientWebServiceRepository(WSDDClient* pClient)
    : WebServiceRepositoryWithFilter(pClient)
{
    if (gpClientRepository == nullptr)
    {
        gpClientRepository = this;
        qRegisterMetaType<WebServiceInfoPtr>("WebServiceInfoPtr");
    }
    SetRequestedServices(
        {"MOS", "QUOREL", "MAINTENANCE", "FIMS_capture", "FIMS_transfer", "FIMS_transform", "FALDRUNE", "HARLEN"});
}

ClientWebServiceRepository::~ClientWebServiceRepository()
{
    if (gpClientRepository == this)
        gpClientRepository = nullptr;
}

ClientWebServiceRepository* ClientWebServiceRepository::GetInstance()
{
    return gpClientRepository;
}

void ClientWebServiceRepository::OnThreadStarted()
{
}

void ClientWebServiceRepository::OnThreadStopping()
{
}

void ClientWebServiceRepository::OnAutoProbe()
{
    RefreshServices();
}

} // namespace JoxWsdd
