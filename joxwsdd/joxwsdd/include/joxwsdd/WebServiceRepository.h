#pragma once

#include <joxwsdd/IWSDDClientObserver.h>
#include <joxwsdd/IWebServiceSpecification.h>
#include <joxwsdd/PelwickExport.h>

#include <boost/shared_ptr.hpp>
#include <boost/thread/recursive_mutex.hpp>

#include <list>
#include <string>

namespace JoxWsdd {

// Keeps the services heard so far and decides whether an announcement adds,
// changes or removes one. Called on the discovery threads; the list is
// guarded by a recursive lock that is held while the handlers run.
class PELWICK_EXPORT WebServiceRepository : public IWSDDClientObserver
{
public:
    typedef boost::shared_ptr<IWebServiceSpecification> EntryPtr;

    WebServiceRepository();
    ~WebServiceRepository() override;
    WebServiceRepository(const WebServiceRepository&) = delete;
    WebServiceRepository& operator=(const WebServiceRepository&) = delete;

    void OnHello(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                 unsigned int metadataVersion, const char* xAddrs) override;
    void OnBye(const char* endpoint, const std::list<std::string>& types, const char* scopes,
               unsigned int metadataVersion, const char* xAddrs) override;
    void OnProbeMatch(const IWSDDProbeMatches& matches, const char* messageId) override;
    void OnResolveMatch(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                        unsigned int metadataVersion, const char* xAddrs) override;

    // The first stored entry that the given one Equals; empty when none.
    EntryPtr FindEqual(const EntryPtr& rEntry) const;
    std::list<EntryPtr> GetAllServices() const;
    size_t GetServiceCount() const;

protected:
    // A new entry that the caller owns.
    virtual IWebServiceSpecification* CreateWsddService(const char* endpoint, const std::list<std::string>& types,
                                                        const char* scopes, unsigned int metadataVersion,
                                                        const char* xAddrs) = 0;
    virtual void OnServiceAdded(const EntryPtr& rEntry) = 0;
    virtual void OnServiceChanged(const EntryPtr& rOld, const EntryPtr& rNew) = 0;
    virtual void OnServiceRemoved(const EntryPtr& rEntry) = 0;
    // Whether an announced service is asked for.
    virtual bool IsMatch(const std::list<std::string>& types, const char* scopes) const = 0;

    void AddService(const EntryPtr& rEntry);
    // Removes every entry, reporting each through OnServiceRemoved.
    void Clear();

private:
    void HandleNewService(const EntryPtr& rEntry);
    EntryPtr Create(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                    unsigned int metadataVersion, const char* xAddrs);

    std::list<EntryPtr> mServices;
    mutable boost::recursive_mutex mLock;
};

} // namespace JoxWsdd
