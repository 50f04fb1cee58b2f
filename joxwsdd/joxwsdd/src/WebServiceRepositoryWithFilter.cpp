#include <joxwsdd/WebServiceRepositoryWithFilter.h>

#include <joxwsdd/QNames.h>
#include <joxwsdd/WSDDClient.h>

#include <joxconfig/IConfigWsddClient.h>
#include <joxconfig/LocalIpMatcher.h>
#include <joxlog/JoxLog.h>

#include <boost/pointer_cast.hpp>

#include <algorithm>
#include <stdexcept>

namespace JoxWsdd {

namespace {

WebServiceInfoPtr AsInfo(const WebServiceRepository::EntryPtr& rEntry)
{
    return boost::static_pointer_cast<WebServiceInfo>(rEntry);
}

void LogService(const char* pCategory, const char* pText, const WebServiceInfoPtr& rEntry)
{
    const QString message = QString::fromLatin1(pText).arg(rEntry->GetUrl());
    JoxCore::Log(3, 0, pCategory, message.toUtf8().constData(), __FILE__, __LINE__, __func__);
}

} // namespace

WebServiceRepositoryWithFilter::WebServiceRepositoryWithFilter(WSDDClient* pClient)
    : QObject(nullptr), mpClient(pClient)
{
    if (pClient == nullptr)
        throw std::invalid_argument("pClient==0");
    qRegisterMetaType<WebServiceInfoPtr>("WebServiceInfoPtr");
    qRegisterMetaType<WebServiceInfoPtr>("JoxWsdd::WebServiceInfoPtr");
    mpMatcher.reset(new JoxConfig::LocalIpMatcher);
}

WebServiceRepositoryWithFilter::~WebServiceRepositoryWithFilter() = default;

void WebServiceRepositoryWithFilter::SetRequestedServices(const std::vector<std::string>& rServices)
{
    boost::mutex::scoped_lock lock(mFilterLock);
    mRequestedServices = rServices;
}

void WebServiceRepositoryWithFilter::SetWhiteList(const QStringList& rList)
{
    boost::mutex::scoped_lock lock(mFilterLock);
    mWhiteList = rList;
}

void WebServiceRepositoryWithFilter::SetBlackList(const QStringList& rList)
{
    boost::mutex::scoped_lock lock(mFilterLock);
    mBlackList = rList;
}

QStringList WebServiceRepositoryWithFilter::GetWhiteList() const
{
    boost::mutex::scoped_lock lock(mFilterLock);
    return mWhiteList;
}

QStringList WebServiceRepositoryWithFilter::GetBlackList() const
{
    boost::mutex::scoped_lock lock(mFilterLock);
    return mBlackList;
}

IWebServiceSpecification* WebServiceRepositoryWithFilter::CreateWsddService(const char* endpoint,
                                                                            const std::list<std::string>& types,
                                                                            const char* scopes,
                                                                            unsigned int metadataVersion,
                                                                            const char* xAddrs)
{
    (void)scopes;
    (void)metadataVersion;
    WebServiceInfo* pEntry = new WebServiceInfo(endpoint, types, xAddrs);
    pEntry->DetermineMatchingUrls(mpMatcher.get());
    return pEntry;
}

bool WebServiceRepositoryWithFilter::IsMatch(const std::list<std::string>& types, const char* scopes) const
{
    (void)scopes;
    const std::string name = JoxTypesMaster::GetServiceName(types);
    boost::mutex::scoped_lock lock(mFilterLock);
    return std::find(mRequestedServices.begin(), mRequestedServices.end(), name) != mRequestedServices.end();
}

bool WebServiceRepositoryWithFilter::IsInList(const WebServiceInfoPtr& rEntry, const QStringList& rList)
{
    const QString descriptionName = QString::fromUtf8(rEntry->GetDescriptionName().c_str());
    return std::any_of(rList.begin(), rList.end(), [&](const QString& rItem) {
        return rItem == descriptionName || rEntry->HasXAddress(rItem);
    });
}

bool WebServiceRepositoryWithFilter::IsWhiteListed(const WebServiceInfoPtr& rEntry) const
{
    const QStringList list = GetWhiteList();
    return list.isEmpty() || IsInList(rEntry, list);
}

bool WebServiceRepositoryWithFilter::IsBlackListed(const WebServiceInfoPtr& rEntry) const
{
    return IsInList(rEntry, GetBlackList());
}

bool WebServiceRepositoryWithFilter::IsServiceAllowed(const WebServiceInfoPtr& rEntry) const
{
    return IsWhiteListed(rEntry) && !IsBlackListed(rEntry);
}

void WebServiceRepositoryWithFilter::OnServiceAdded(const EntryPtr& rEntry)
{
    const WebServiceInfoPtr entry = AsInfo(rEntry);
    const char* const pCategory = "WebServiceRepositoryWithFilter::OnServiceAdded";
    if (!entry->HasXAddress())
    {
        mpClient->SendResolve(entry->GetEndpoint().c_str());
        return;
    }
    if (IsServiceAllowed(entry))
    {
        LogService(pCategory, "Added service %1", entry);
        emit ServiceAdded(entry);
    }
    else
    {
        LogService(pCategory, "Ignoring service %1", entry);
    }
}

void WebServiceRepositoryWithFilter::OnServiceChanged(const EntryPtr& rOld, const EntryPtr& rNew)
{
    const WebServiceInfoPtr entry = AsInfo(rNew);
    if (!entry->HasXAddress())
        return;
    if (IsServiceAllowed(entry))
        emit ServiceChanged(AsInfo(rOld), entry);
    else
        LogService("WebServiceRepositoryWithFilter::OnServiceChanged", "Ignoring service %1", entry);
}

void WebServiceRepositoryWithFilter::OnServiceRemoved(const EntryPtr& rEntry)
{
    const WebServiceInfoPtr entry = AsInfo(rEntry);
    const char* const pCategory = "WebServiceRepositoryWithFilter::OnServiceRemoved";
    if (IsServiceAllowed(entry))
    {
        LogService(pCategory, "Removed service %1", entry);
        emit ServiceRemoved(entry);
    }
    else
    {
        LogService(pCategory, "Ignoring service %1", entry);
    }
}

void WebServiceRepositoryWithFilter::ReadSettings(const JoxConfig::IConfigWsddClient& rConfig)
{
    std::list<EntryPtr> statics;
    for (const auto& rPair : rConfig.GetStaticUrls())
    {
        const WebServiceInfo::ServiceType type =
            WebServiceInfo::ServiceTypeFromString(rPair.second.toUtf8().toStdString());
        statics.push_back(EntryPtr(new WebServiceInfo(rPair.first, true, type)));
    }
    {
        boost::mutex::scoped_lock lock(mFilterLock);
        mWhiteList = rConfig.GetWhitelistUrls();
        mBlackList = rConfig.GetBlacklistUrls();
        mMutedLocalIps = rConfig.GetMutedLocalIps();
        mStaticEntries = statics;
    }
    for (const EntryPtr& rEntry : statics)
        AddService(rEntry);
}

void WebServiceRepositoryWithFilter::RefreshServices()
{
    Clear();
    std::vector<std::string> muted;
    std::list<EntryPtr> statics;
    std::vector<std::string> requested;
    {
        boost::mutex::scoped_lock lock(mFilterLock);
        muted = mMutedLocalIps;
        statics = mStaticEntries;
        requested = mRequestedServices;
    }
    if (mpClient->MuteIps(muted) == 1)
        JoxCore::Log(2, 0, "WebServiceRepositoryWithFilter::RefreshServices", "Unable to Mute all/any ips!",
                     __FILE__, __LINE__, __func__);
    for (const EntryPtr& rEntry : statics)
        AddService(rEntry);
    std::list<std::string> types;
    for (const std::string& rName : requested)
    {
        JoxTypesMaster::SetServiceName(types, rName);
        mpClient->SendProbe(JoinQNames(types).c_str(), nullptr, nullptr);
    }
    if (mpClient->HasError())
        emit WSDDError(QString::fromUtf8(mpClient->GetErrorString().c_str()));
}

} // namespace JoxWsdd
