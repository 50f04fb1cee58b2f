#pragma once

#include <joxwsdd/PelwickExport.h>
#include <joxwsdd/WebServiceInfo.h>
#include <joxwsdd/WebServiceRepository.h>

#include <boost/thread/mutex.hpp>

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace JoxConfig {
class IConfigWsddClient;
class LocalIpMatcher;
}

namespace JoxWsdd {

class WSDDClient;

// The repository with its policy: which service names are asked for, which
// services are shown (white and black lists), which local addresses stay
// silent and which services the user configured. Changes leave as Qt
// signals, emitted on the discovery threads while the repository lock is
// held; receivers on other threads get them queued.
class PELWICK_EXPORT WebServiceRepositoryWithFilter : public QObject, public WebServiceRepository
{
    Q_OBJECT

public:
    // The client is not owned; null throws std::invalid_argument("pClient==0").
    explicit WebServiceRepositoryWithFilter(WSDDClient* pClient);
    ~WebServiceRepositoryWithFilter() override;

    // Takes the white, black and muted lists and the static entries; the
    // static entries are added at once.
    void ReadSettings(const JoxConfig::IConfigWsddClient& rConfig);
    void SetRequestedServices(const std::vector<std::string>& rServices);
    void SetWhiteList(const QStringList& rList);
    void SetBlackList(const QStringList& rList);
    QStringList GetWhiteList() const;
    QStringList GetBlackList() const;
    WSDDClient* GetWSDDClient() const { return mpClient; }

    // An empty white list admits every service.
    bool IsWhiteListed(const WebServiceInfoPtr& rEntry) const;
    bool IsBlackListed(const WebServiceInfoPtr& rEntry) const;
    bool IsServiceAllowed(const WebServiceInfoPtr& rEntry) const;

signals:
    void ServiceAdded(WebServiceInfoPtr entry);
    void ServiceRemoved(WebServiceInfoPtr entry);
    void ServiceChanged(WebServiceInfoPtr oldEntry, WebServiceInfoPtr newEntry);
    void WSDDError(QString text);

public slots:
    // Forgets every entry, applies the muted addresses, re-adds the static
    // entries and probes once per requested service.
    void RefreshServices();

protected:
    IWebServiceSpecification* CreateWsddService(const char* endpoint, const std::list<std::string>& types,
                                                const char* scopes, unsigned int metadataVersion,
                                                const char* xAddrs) override;
    void OnServiceAdded(const EntryPtr& rEntry) override;
    void OnServiceChanged(const EntryPtr& rOld, const EntryPtr& rNew) override;
    void OnServiceRemoved(const EntryPtr& rEntry) override;
    // The "service_name" item is one of the requested services.
    bool IsMatch(const std::list<std::string>& types, const char* scopes) const override;

private:
    static bool IsInList(const WebServiceInfoPtr& rEntry, const QStringList& rList);

    WSDDClient* mpClient;
    mutable boost::mutex mFilterLock;   // the lists below, read by the discovery threads
    std::vector<std::string> mRequestedServices;
    std::list<EntryPtr> mStaticEntries;
    QStringList mWhiteList;
    QStringList mBlackList;
    std::vector<std::string> mMutedLocalIps;
    std::unique_ptr<JoxConfig::LocalIpMatcher> mpMatcher;
};

} // namespace JoxWsdd
