// Built against pelwick's exported interface alone, as the program uses it:
// a repository subclass with its own meta-object, the client, service
// entries and their metadata. Exits 0 when everything behaves; it opens no
// sockets (the client has no workers).

#include <joxwsdd/JoxTypesMaster.h>
#include <joxwsdd/QNames.h>
#include <joxwsdd/WSDDClient.h>
#include <joxwsdd/WebServiceInfo.h>
#include <joxwsdd/WebServiceRepositoryWithFilter.h>

#include <joxconfig/IConfigWsddClient.h>

#include <boost/make_shared.hpp>

#include <QCoreApplication>
#include <QDomDocument>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace {

int gFailures = 0;

void Check(bool bCondition, const char* pWhat)
{
    if (!bCondition)
    {
        std::fprintf(stderr, "FAILED: %s\n", pWhat);
        ++gFailures;
    }
}

class Config : public JoxConfig::IConfigWsddClient
{
public:
    QStringList GetBlacklistUrls() const override { return {}; }
    QStringList GetWhitelistUrls() const override { return {}; }
    std::vector<std::string> GetMutedLocalIps() const override { return {}; }
    QList<QPair<QString, QString>> GetStaticUrls() const override { return {{"10.1.2.3:8080", "MAINTENANCE"}}; }
};

} // namespace

// The program's own repository: inherits the protected virtuals into its tables.
class ProgramRepository : public JoxWsdd::WebServiceRepositoryWithFilter
{
    Q_OBJECT

public:
    using WebServiceRepositoryWithFilter::WebServiceRepositoryWithFilter;
    void OnThreadStarted() override { ++mStarted; }
    void OnThreadStopping() override {}
    void OnAutoProbe() override {}
    int mStarted = 0;
    int mAdded = 0;

protected:
    JoxWsdd::IWebServiceSpecification* CreateWsddService(const char* endpoint, const std::list<std::string>& types,
                                                         const char* scopes, unsigned int metadataVersion,
                                                         const char* xAddrs) override
    {
        return WebServiceRepositoryWithFilter::CreateWsddService(endpoint, types, scopes, metadataVersion, xAddrs);
    }
    void OnServiceAdded(const EntryPtr& rEntry) override
    {
        ++mAdded;
        WebServiceRepositoryWithFilter::OnServiceAdded(rEntry);
    }
    bool IsMatch(const std::list<std::string>& types, const char* scopes) const override
    {
        return WebServiceRepositoryWithFilter::IsMatch(types, scopes);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);

    // libgsoap++'s globals come from pelwick.
    Dl_info info;
    void* pNamespaces = dlsym(RTLD_DEFAULT, "namespaces");
    Check(pNamespaces != nullptr && dladdr(pNamespaces, &info) != 0 && std::strstr(info.dli_fname, "libpelwick") != nullptr,
          "the global gSOAP namespace table is pelwick's");

    JoxWsdd::WSDDClient* pClient = new JoxWsdd::WSDDClient(std::vector<JoxWsdd::WSDDClient::ClientThreadParameter>{});
    auto pRepository = boost::make_shared<ProgramRepository>(pClient);
    Check(pClient->AddObserver(pRepository), "AddObserver");
    Check(pClient->Start(), "Start");
    Check(pClient->WaitForThreadRunning(2000), "WaitForThreadRunning");
    Check(!pClient->HasError() && pClient->GetErrorString().empty(), "no errors");
    Check(pClient->GetThreadListenIps().isEmpty(), "no listen addresses");

    int addedSignals = 0;
    QObject::connect(pRepository.get(), &JoxWsdd::WebServiceRepositoryWithFilter::ServiceAdded,
                     [&addedSignals](JoxWsdd::WebServiceInfoPtr) { ++addedSignals; });
    Check(pRepository->metaObject()->inherits(&JoxWsdd::WebServiceRepositoryWithFilter::staticMetaObject),
          "meta-object chain");
    Check(pRepository->qt_metacast("WebServiceRepository") != nullptr, "cast by name to the repository base");
    pRepository->SetRequestedServices({"MAINTENANCE"});
    pRepository->ReadSettings(Config());
    pRepository->RefreshServices();
    pRepository->OnHello("urn:uuid:e", JoxWsdd::SplitQNames("service_name__MAINTENANCE status_name__free"), nullptr, 1,
                         "http://10.1.2.4:8012");
    Check(pRepository->mAdded == 3 && addedSignals == 3, "static entry twice and one discovered entry added");

    JoxWsdd::WebServiceInfo entry("urn:uuid:f", JoxWsdd::SplitQNames("service_name__MOS description_number__2"),
                                  "http://10.1.2.5:8011");
    JoxWsdd::WebServiceInfo copy(entry);
    JoxWsdd::WebServiceInfo empty;
    copy.AddServiceTypeToList(JoxWsdd::WebServiceInfo::ServiceTypeChannel);
    copy.RemoveServiceTypeFromList(JoxWsdd::WebServiceInfo::ServiceTypeChannel);
    copy.RemoveType("nothing");
    copy.SetTypeValue(JoxWsdd::JoxTypesMaster::eHardwareName, "box");
    copy.SetStatus(JoxWsdd::JoxTypesMaster::eStatusActive, "HARLEN");
    Check(copy.GetStatus() == JoxWsdd::JoxTypesMaster::eStatusActive, "status");
    Check(std::string(JoxWsdd::JoxTypesMaster::StatusToString(copy.GetStatus())) == "active", "status text");
    Check(copy.GetStatusName() == "active" && copy.GetStatusBlockedBy() == "HARLEN" && copy.GetHardwareName() == "box"
              && copy.GetServiceName() == "MOS" && copy.GetServiceVersion().empty()
              && copy.GetDescriptionNumber() == "2" && copy.GetHardwareManufacturer().empty()
              && copy.GetHardwareRevision().empty() && copy.GetSoftwareManufacturer().empty()
              && copy.GetSoftwareName().empty() && copy.GetSoftwareVersion().empty(),
          "metadata getters");
    Check(copy.GetActiveType() == JoxWsdd::WebServiceInfo::ServiceTypeHarlen, "active type");
    Check(copy.GetChannelNumber() == 2 && copy.IsChannelService(), "channel");
    Check(copy.GetGroupInformation().GetGroupType() == 0, "group");
    Check(!copy.GetHostName().isEmpty() && copy.GetIps() == QStringList({"10.1.2.5"}), "host and addresses");
    Check(copy.GetMatchingUrls().isEmpty() && copy.GetUrl() == "http://10.1.2.5:8011", "urls");
    Check(copy.GetServiceType() == JoxWsdd::WebServiceInfo::ServiceTypeMos, "service type");
    Check(JoxWsdd::WebServiceInfo::ConvertServiceTypeToQString(copy.GetServiceType()) == "MOS", "type text");
    Check(copy.Equals(entry) && !copy.IsIdentical(entry), "comparison");
    auto pClone = copy.Clone();
    empty.Update(*pClone);
    Check(empty.IsIdentical(copy), "clone and update");
    empty.SetTypesList(copy.GetTypesList());
    QDomDocument document;
    QDomElement root = document.createElement("webserviceinfo");
    document.appendChild(root);
    copy.ToXml(root);
    Check(root.firstChildElement("servicename").text() == "MOS", "xml");
    Check(JoxWsdd::JoinQNames(JoxWsdd::SplitQNames("a b")) == "a b", "qnames");

    Check(pRepository->mStarted == 0, "no worker started");
    pRepository.reset();
    delete pClient;
    std::printf("%s\n", gFailures == 0 ? "export check passed" : "export check failed");
    return gFailures == 0 ? 0 : 1;
}

#include "ExportCheck.moc"
