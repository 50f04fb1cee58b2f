#include <joxwsdd/WebServiceRepository.h>

#include <joxwsdd/IWSDDProbeMatches.h>
#include <joxwsdd/QNames.h>
#include <joxwsdd/WebServiceInfo.h>

#include <joxlog/JoxLog.h>

#include <algorithm>

namespace JoxWsdd {

namespace {

const std::chrono::minutes cRefusalLogInterval(1);

// The keys of an entry's indexes: its service type, then the text.
std::string IndexKey(const WebServiceInfo& rInfo, const std::string& rText)
{
    return std::to_string(static_cast<int>(rInfo.GetServiceType())) + '|' + rText;
}

template <typename IndexT, typename It>
void IndexInsert(IndexT& rIndex, const std::string& rKey, std::uint64_t order, It stored)
{
    rIndex[rKey].emplace(order, stored);
}

template <typename IndexT>
void IndexErase(IndexT& rIndex, const std::string& rKey, std::uint64_t order)
{
    const auto found = rIndex.find(rKey);
    if (found == rIndex.end())
        return;
    found->second.erase(order);
    if (found->second.empty())
        rIndex.erase(found);
}

// The first entry of a key, when it stands before the best one so far.
template <typename IndexT, typename It>
void IndexFirst(const IndexT& rIndex, const std::string& rKey, It& rBest, bool& rFound)
{
    const auto found = rIndex.find(rKey);
    if (found == rIndex.end() || found->second.empty())
        return;
    const It candidate = found->second.begin()->second;
    if (!rFound || candidate->mOrder < rBest->mOrder)
    {
        rBest = candidate;
        rFound = true;
    }
}

} // namespace

WebServiceRepository::WebServiceRepository() = default;
WebServiceRepository::~WebServiceRepository() = default;

WebServiceRepository::EntryPtr WebServiceRepository::Create(const char* endpoint,
                                                            const std::list<std::string>& types,
                                                            const char* scopes, unsigned int metadataVersion,
                                                            const char* xAddrs)
{
    return EntryPtr(CreateWsddService(endpoint, types, scopes, metadataVersion, xAddrs));
}

void WebServiceRepository::AddService(const EntryPtr& rEntry)
{
    if (rEntry)
        HandleNewService(rEntry);
}

void WebServiceRepository::Clear()
{
    boost::recursive_mutex::scoped_lock lock(mLock);
    while (!mServices.empty())
    {
        const EntryPtr entry = mServices.front().mEntry;
        Erase(mServices.begin());
        OnServiceRemoved(entry);
    }
}

WebServiceRepository::EntryPtr WebServiceRepository::FindEqual(const EntryPtr& rEntry) const
{
    if (!rEntry)
        return EntryPtr();
    boost::recursive_mutex::scoped_lock lock(mLock);
    WebServiceRepository& rThis = const_cast<WebServiceRepository&>(*this);
    const StoredIt found = rThis.FindEqualLocked(*rEntry);
    return found != rThis.mServices.end() ? found->mEntry : EntryPtr();
}

WebServiceRepository::StoredIt WebServiceRepository::FindEqualLocked(const IWebServiceSpecification& rEntry)
{
    const auto* pInfo = dynamic_cast<const WebServiceInfo*>(&rEntry);
    if (pInfo == nullptr || mUnindexed != 0)
    {
        return std::find_if(mServices.begin(), mServices.end(),
                            [&rEntry](const Stored& rStored) { return rEntry.Equals(*rStored.mEntry); });
    }
    // Equals: the same service type and, when both have an endpoint, the
    // same endpoint, else the same first URL.
    StoredIt best = mServices.end();
    bool bFound = false;
    const std::string urlKey = IndexKey(*pInfo, pInfo->GetUrl().toStdString());
    if (pInfo->GetEndpoint().empty())
    {
        IndexFirst(mByUrl, urlKey, best, bFound);
    }
    else
    {
        IndexFirst(mByEndpoint, IndexKey(*pInfo, pInfo->GetEndpoint()), best, bFound);
        IndexFirst(mByUrlWithoutEndpoint, urlKey, best, bFound);
    }
    return bFound ? best : mServices.end();
}

void WebServiceRepository::Append(const EntryPtr& rEntry)
{
    Stored stored;
    stored.mEntry = rEntry;
    stored.mOrder = mNextOrder++;
    const auto* pInfo = dynamic_cast<const WebServiceInfo*>(rEntry.get());
    stored.mIndexed = pInfo != nullptr;
    stored.mStatic = pInfo != nullptr && pInfo->IsStatic();
    if (pInfo != nullptr)
    {
        if (!pInfo->GetEndpoint().empty())
            stored.mEndpointKey = IndexKey(*pInfo, pInfo->GetEndpoint());
        stored.mUrlKey = IndexKey(*pInfo, pInfo->GetUrl().toStdString());
    }
    const StoredIt it = mServices.insert(mServices.end(), stored);
    if (!it->mIndexed)
    {
        ++mUnindexed;
    }
    else
    {
        IndexInsert(mByUrl, it->mUrlKey, it->mOrder, it);
        if (it->mEndpointKey.empty())
            IndexInsert(mByUrlWithoutEndpoint, it->mUrlKey, it->mOrder, it);
        else
            IndexInsert(mByEndpoint, it->mEndpointKey, it->mOrder, it);
    }
    if (!it->mStatic)
        ++mDiscovered;
}

void WebServiceRepository::Erase(StoredIt stored)
{
    if (!stored->mIndexed)
    {
        --mUnindexed;
    }
    else
    {
        IndexErase(mByUrl, stored->mUrlKey, stored->mOrder);
        if (stored->mEndpointKey.empty())
            IndexErase(mByUrlWithoutEndpoint, stored->mUrlKey, stored->mOrder);
        else
            IndexErase(mByEndpoint, stored->mEndpointKey, stored->mOrder);
    }
    if (!stored->mStatic)
        --mDiscovered;
    mServices.erase(stored);
}

std::list<WebServiceRepository::EntryPtr> WebServiceRepository::GetAllServices() const
{
    boost::recursive_mutex::scoped_lock lock(mLock);
    std::list<EntryPtr> services;
    for (const Stored& rStored : mServices)
        services.push_back(rStored.mEntry);
    return services;
}

size_t WebServiceRepository::GetServiceCount() const
{
    boost::recursive_mutex::scoped_lock lock(mLock);
    return mServices.size();
}

void WebServiceRepository::SetDiscoveredLimit(size_t limit)
{
    boost::recursive_mutex::scoped_lock lock(mLock);
    mDiscoveredLimit = limit;
}

size_t WebServiceRepository::GetDiscoveredLimit() const
{
    boost::recursive_mutex::scoped_lock lock(mLock);
    return mDiscoveredLimit;
}

bool WebServiceRepository::RefuseWhenFull(const EntryPtr& rEntry)
{
    const auto* pInfo = dynamic_cast<const WebServiceInfo*>(rEntry.get());
    if ((pInfo != nullptr && pInfo->IsStatic()) || mDiscovered < mDiscoveredLimit)
        return false;
    ++mRefusedSinceLog;
    const auto now = std::chrono::steady_clock::now();
    if (!mRefusalLogged || now - mLastRefusalLog >= cRefusalLogInterval)
    {
        const std::string message = "Holding " + std::to_string(mDiscoveredLimit) +
                                    " discovered services; ignoring new ones (" + std::to_string(mRefusedSinceLog) +
                                    " ignored since the last report)";
        JoxCore::Log(2, 0, "WebServiceRepository::HandleNewService", message.c_str(), __FILE__, __LINE__, __func__);
        mRefusalLogged = true;
        mLastRefusalLog = now;
        mRefusedSinceLog = 0;
    }
    return true;
}

void WebServiceRepository::HandleNewService(const EntryPtr& rEntry)
{
    if (!rEntry)
        return;
    boost::recursive_mutex::scoped_lock lock(mLock);
    const StoredIt existing = FindEqualLocked(*rEntry);
    if (existing == mServices.end())
    {
        if (RefuseWhenFull(rEntry))
            return;
        Append(rEntry);
        OnServiceAdded(rEntry);
        return;
    }
    if (rEntry->IsIdentical(*existing->mEntry))
        return;
    const EntryPtr previous = existing->mEntry;
    Erase(existing);
    Append(rEntry);
    OnServiceChanged(previous, rEntry);
}

void WebServiceRepository::OnHello(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                                   unsigned int metadataVersion, const char* xAddrs)
{
    if (!IsMatch(types, scopes))
        return;
    HandleNewService(Create(endpoint, types, scopes, metadataVersion, xAddrs));
}

void WebServiceRepository::OnBye(const char* endpoint, const std::list<std::string>& types, const char* scopes,
                                 unsigned int metadataVersion, const char* xAddrs)
{
    const EntryPtr entry = Create(endpoint, types, scopes, metadataVersion, xAddrs);
    if (!entry)
        return;
    boost::recursive_mutex::scoped_lock lock(mLock);
    const StoredIt existing = FindEqualLocked(*entry);
    if (existing == mServices.end())
        return;
    Erase(existing);
    OnServiceRemoved(entry);
}

void WebServiceRepository::OnProbeMatch(const IWSDDProbeMatches& matches, const char* messageId)
{
    (void)messageId;
    for (size_t index = 0; index < matches.GetMatchCount(); ++index)
    {
        IWSDDProbeMatches::ProbeMatch match;
        if (!matches.GetMatch(index, match))
            continue;
        const std::list<std::string> types = SplitQNames(match.types);
        if (IsMatch(types, match.scopes))
            HandleNewService(Create(match.endpoint, types, match.scopes, match.metadataVersion, match.xAddrs));
    }
}

void WebServiceRepository::OnResolveMatch(const char* endpoint, const std::list<std::string>& types,
                                          const char* scopes, unsigned int metadataVersion, const char* xAddrs)
{
    HandleNewService(Create(endpoint, types, scopes, metadataVersion, xAddrs));
}

} // namespace JoxWsdd
