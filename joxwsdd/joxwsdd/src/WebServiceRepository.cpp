#include <joxwsdd/WebServiceRepository.h>

#include <joxwsdd/IWSDDProbeMatches.h>
#include <joxwsdd/QNames.h>

#include <algorithm>

namespace JoxWsdd {

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
        const EntryPtr entry = mServices.front();
        mServices.pop_front();
        OnServiceRemoved(entry);
    }
}

WebServiceRepository::EntryPtr WebServiceRepository::FindEqual(const EntryPtr& rEntry) const
{
    if (!rEntry)
        return EntryPtr();
    boost::recursive_mutex::scoped_lock lock(mLock);
    const auto found = std::find_if(mServices.begin(), mServices.end(),
                                    [&rEntry](const EntryPtr& rStored) { return rEntry->Equals(*rStored); });
    return found != mServices.end() ? *found : EntryPtr();
}

std::list<WebServiceRepository::EntryPtr> WebServiceRepository::GetAllServices() const
{
    boost::recursive_mutex::scoped_lock lock(mLock);
    return mServices;
}

size_t WebServiceRepository::GetServiceCount() const
{
    boost::recursive_mutex::scoped_lock lock(mLock);
    return mServices.size();
}

void WebServiceRepository::HandleNewService(const EntryPtr& rEntry)
{
    if (!rEntry)
        return;
    boost::recursive_mutex::scoped_lock lock(mLock);
    const EntryPtr existing = FindEqual(rEntry);
    if (!existing)
    {
        mServices.push_back(rEntry);
        OnServiceAdded(rEntry);
        return;
    }
    if (rEntry->IsIdentical(*existing))
        return;
    mServices.remove(existing);
    mServices.push_back(rEntry);
    OnServiceChanged(existing, rEntry);
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
    const EntryPtr existing = FindEqual(entry);
    if (!existing)
        return;
    mServices.remove(existing);
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
