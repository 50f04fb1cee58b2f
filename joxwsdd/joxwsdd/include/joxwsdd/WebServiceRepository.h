#pragma once

#include <joxwsdd/IWSDDClientObserver.h>
#include <joxwsdd/IWebServiceSpecification.h>
#include <joxwsdd/PelwickExport.h>

#include <boost/shared_ptr.hpp>
#include <boost/thread/recursive_mutex.hpp>

#include <chrono>
#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <unordered_map>

namespace JoxWsdd {

// Keeps the services heard so far and decides whether an announcement adds,
// changes or removes one. Called on the discovery threads; the list is
// guarded by a recursive lock that is held while the handlers run. Entries
// are found through hash indexes beside the ordered list, and the number of
// discovered (not static) entries is bounded.
class PELWICK_EXPORT WebServiceRepository : public IWSDDClientObserver
{
public:
    typedef boost::shared_ptr<IWebServiceSpecification> EntryPtr;

    static const size_t mpDefaultDiscoveredLimit = 20000;

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
    // Past this many discovered entries a new discovered service is refused
    // (logged at level 2 at most once a minute); static entries always count in.
    void SetDiscoveredLimit(size_t limit);
    size_t GetDiscoveredLimit() const;

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
    struct Stored
    {
        EntryPtr mEntry;
        std::uint64_t mOrder;       // grows with every insertion: the list order
        bool mIndexed;              // a WebServiceInfo, found through the indexes
        bool mStatic;
        std::string mEndpointKey;   // service type and endpoint; empty without endpoint
        std::string mUrlKey;        // service type and first URL
    };
    typedef std::list<Stored>::iterator StoredIt;
    // Entries of one key, by list order.
    typedef std::unordered_map<std::string, std::map<std::uint64_t, StoredIt>> Index;

    void HandleNewService(const EntryPtr& rEntry);
    EntryPtr Create(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                    unsigned int metadataVersion, const char* xAddrs);
    // Under the lock: the first stored entry that the given one Equals.
    StoredIt FindEqualLocked(const IWebServiceSpecification& rEntry);
    void Append(const EntryPtr& rEntry);
    void Erase(StoredIt stored);
    bool RefuseWhenFull(const EntryPtr& rEntry);

    std::list<Stored> mServices;
    Index mByEndpoint;              // entries with an endpoint
    Index mByUrlWithoutEndpoint;    // entries without one
    Index mByUrl;                   // every indexed entry
    std::uint64_t mNextOrder = 0;
    size_t mUnindexed = 0;
    size_t mDiscovered = 0;
    size_t mDiscoveredLimit = mpDefaultDiscoveredLimit;
    size_t mRefusedSinceLog = 0;
    std::chrono::steady_clock::time_point mLastRefusalLog;
    bool mRefusalLogged = false;
    mutable boost::recursive_mutex mLock;
};

} // namespace JoxWsdd
