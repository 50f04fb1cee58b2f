#include <joxwsdd/WebServiceInfo.h>

#include <joxwsdd/QNames.h>

#include "XmlElementCursor.h"

#include <joxconfig/LocalIpMatcher.h>
#include <joxcore/NameTables.h>
#include <joxlog/JoxLog.h>

#include <boost/lexical_cast.hpp>

#include <QUrl>

#include <algorithm>

namespace JoxWsdd {

const char* const WebServiceInfo::mpTypeKey_HostName = "host_name";
const char* const WebServiceInfo::mpTypeKey_GroupType = "group_type";
const char* const WebServiceInfo::mpTypeKey_GroupName = "group_name";
const char* const WebServiceInfo::mpTypeKey_GroupMaster = "group_master";
const char* const WebServiceInfo::mpTypeKey_GroupMembers = "group_members";
const char* const WebServiceInfo::mpGroupAttributeSeparator = ";";
const char* const WebServiceInfo::mpGroupMembersSeparator = "_";

IWebServiceSpecification::~IWebServiceSpecification() = default;

namespace {

struct ServiceTypeText
{
    WebServiceInfo::ServiceType mType;
    const char* mWire;
    const char* mDisplay;
};

const ServiceTypeText cServiceTypes[] = {
    {WebServiceInfo::ServiceTypeMos, "MOS", "MOS"},
    {WebServiceInfo::ServiceTypeFimsCapture, "FIMS_capture", "FIMS capture"},
    {WebServiceInfo::ServiceTypeFimsTransfer, "FIMS_transfer", "FIMS transfer"},
    {WebServiceInfo::ServiceTypeFimsTransform, "FIMS_transform", "FIMS transform"},
    {WebServiceInfo::ServiceTypeQuorel, "QUOREL", "Quorel"},
    {WebServiceInfo::ServiceTypeHarlen, "HARLEN", "Harlen"},
    {WebServiceInfo::ServiceTypeFaldrune, "FALDRUNE", "Faldrune"},
    {WebServiceInfo::ServiceTypeMaintenance, "MAINTENANCE", "Maintenance"},
    {WebServiceInfo::ServiceTypeChannel, "CHANNEL", "Channel"},
    {WebServiceInfo::ServiceTypeMachine, "MACHINE", "Machine"}};

const char* const cHttp = "http://";

QString WithoutHttp(QString text)
{
    return text.remove(QString::fromLatin1(cHttp));
}

QString Utf8(const std::string& rText)
{
    return QString::fromUtf8(rText.c_str());
}

} // namespace

WebServiceInfo::WebServiceInfo()
    : mServiceType(ServiceTypeUnknown), mStatic(false)
{
}

WebServiceInfo::WebServiceInfo(const QString& rUrl, bool isStatic, ServiceType type)
    : mUrls({rUrl}), mServiceType(type), mStatic(isStatic)
{
    SetDisplayNameFromUrl(rUrl);
    SetStatus(eStatusNone, nullptr);
}

WebServiceInfo::WebServiceInfo(const char* pEndpoint, const std::list<std::string>& rTypes, const char* pXAddrs)
    : mTypes(rTypes), mEndpoint(pEndpoint != nullptr ? pEndpoint : ""), mServiceType(ServiceTypeUnknown), mStatic(false)
{
    for (const std::string& rUrl : SplitQNames(pXAddrs))
        mUrls.append(Utf8(rUrl));

    const std::string descriptionName = GetDescriptionName();
    if (!descriptionName.empty())
        mDisplayName = Utf8(descriptionName);
    else if (mUrls.isEmpty())
        mDisplayName = QStringLiteral("<unknown>");
    else
        SetDisplayNameFromUrl(WithoutHttp(mUrls.front()));

    mServiceType = ServiceTypeFromString(GetServiceName());
    ParseGroupInformation(rTypes);

    mHostName = Utf8(GetGenericType(mpTypeKey_HostName));
    if (mHostName.isEmpty() && !mUrls.isEmpty())
        mHostName = mUrls.front();
    UpdateStatus();
}

WebServiceInfo::WebServiceInfo(const WebServiceInfo& rOther) = default;
WebServiceInfo& WebServiceInfo::operator=(const WebServiceInfo& rOther) = default;
WebServiceInfo::~WebServiceInfo() = default;

void WebServiceInfo::SetDisplayNameFromUrl(const QString& rUrl)
{
    const QStringList parts = WithoutHttp(rUrl).split(QLatin1Char(':'), Qt::KeepEmptyParts);
    if (parts.size() != 2)
        return;
    mDisplayName = parts.front();
    mHostName = parts.front();
}

void WebServiceInfo::ParseGroupInformation(const std::list<std::string>& rTypes)
{
    const std::string typeText = GetTypeValue(rTypes, mpTypeKey_GroupType);
    const int type = JoxCore::TableValue(JoxCore::GroupModeKeys, typeText, 0);
    const QString name = Utf8(GetTypeValue(rTypes, mpTypeKey_GroupName));
    int masterIndex = 0;
    const std::string master = GetTypeValue(rTypes, mpTypeKey_GroupMaster);
    if (!master.empty())
    {
        // A value that is not a number counts as absent: a malformed
        // announcement must never end the worker that heard it.
        try
        {
            masterIndex = boost::lexical_cast<int>(master);
        }
        catch (const boost::bad_lexical_cast&)
        {
            masterIndex = 0;
        }
    }
    int ownIndex = -1;
    QVector<JoxCore::ChannelStateGroupMember> members;
    if (type != 0)
    {
        const QStringList parts = Utf8(GetTypeValue(rTypes, mpTypeKey_GroupMembers))
                                      .split(QString::fromLatin1(mpGroupMembersSeparator), Qt::KeepEmptyParts);
        const QString ownUrl = GetUrl();
        for (int index = 0; index < parts.size(); ++index)
        {
            const QStringList attributes =
                parts[index].split(QString::fromLatin1(mpGroupAttributeSeparator), Qt::KeepEmptyParts);
            const QString address = attributes.front();
            if (address == ownUrl)
                ownIndex = index;
            JoxCore::ChannelStateGroupMember member;
            member.mAddress = QUrl(address);
            if (attributes.size() > 1)
                member.mColor = JoxCore::ChannelStateGroupMember::ColorFromString(attributes[1]);
            members.push_back(member);
        }
    }
    mGroupInformation.SetGroupName(name);
    if (!mGroupInformation.SetGroup(type, members, masterIndex, ownIndex))
    {
        const QString text = QStringLiteral("Failed to set group info: Type = %1, members count = %2")
                                 .arg(Utf8(JoxCore::TableText(JoxCore::GroupModeKeys, type)))
                                 .arg(members.size());
        JoxCore::Log(2, 0, "WebServiceInfo", text.toUtf8().constData(), __FILE__, __LINE__, __func__);
        mGroupInformation.Reset();
    }
}

bool WebServiceInfo::Equals(const IWebServiceSpecification& rOther) const
{
    const WebServiceInfo& rInfo = static_cast<const WebServiceInfo&>(rOther);
    return IsSameServer(rInfo) && mServiceType == rInfo.mServiceType;
}

bool WebServiceInfo::IsIdentical(const IWebServiceSpecification& rOther) const
{
    const WebServiceInfo& rInfo = static_cast<const WebServiceInfo&>(rOther);
    return IsSameServer(rInfo) && mTypes == rInfo.mTypes && mUrls == rInfo.mUrls;
}

boost::shared_ptr<IWebServiceSpecification> WebServiceInfo::Clone() const
{
    return boost::shared_ptr<IWebServiceSpecification>(new WebServiceInfo(*this));
}

void WebServiceInfo::Update(const IWebServiceSpecification& rOther)
{
    const WebServiceInfo& rInfo = static_cast<const WebServiceInfo&>(rOther);
    mDisplayName = rInfo.mDisplayName;
    mHostName = rInfo.mHostName;
    mUrls = rInfo.mUrls;
    mTypes = rInfo.mTypes;
    mEndpoint = rInfo.mEndpoint;
    mServiceType = rInfo.mServiceType;
    mGroupInformation = rInfo.mGroupInformation;
    mServiceTypeList = rInfo.mServiceTypeList;
    mStatic = rInfo.mStatic;
    UpdateStatus();
}

const std::list<std::string>& WebServiceInfo::GetTypesList() const
{
    return mTypes;
}

void WebServiceInfo::SetTypesList(const std::list<std::string>& rList)
{
    mTypes = rList;
}

const JoxCore::ChannelStateGroupInfo& WebServiceInfo::GetGroupInformation() const
{
    return mGroupInformation;
}

QString WebServiceInfo::GetHostName() const
{
    return mHostName;
}

QStringList WebServiceInfo::GetMatchingUrls() const
{
    return mMatchingUrls;
}

WebServiceInfo::ServiceType WebServiceInfo::GetServiceType() const
{
    return mServiceType;
}

QString WebServiceInfo::GetUrl() const
{
    return mUrls.isEmpty() ? QString() : mUrls.front();
}

QString WebServiceInfo::GetIp() const
{
    if (mUrls.isEmpty())
        return QStringLiteral("");
    return GetIps().front();
}

QStringList WebServiceInfo::GetIps() const
{
    QStringList ips;
    for (const QString& rUrl : mUrls)
    {
        const QString rest = WithoutHttp(rUrl);
        ips.append(rest.left(rest.indexOf(QLatin1Char(':'))));
    }
    return ips;
}

bool WebServiceInfo::HasXAddress(const QString& rAddress) const
{
    const QStringList parts = rAddress.split(QLatin1Char(':'), Qt::KeepEmptyParts);
    if (parts.size() != 2 && parts.size() != 3)
        return false;
    const QString host = (parts.size() == 3 ? parts[1] : parts[0]).trimmed();
    const QString port = parts.back().trimmed();
    const QString wanted = port == QLatin1String("*") ? host : host + QLatin1Char(':') + port;
    return std::any_of(mUrls.begin(), mUrls.end(), [&wanted](const QString& rUrl) {
        return rUrl.contains(wanted, Qt::CaseSensitive);
    });
}

bool WebServiceInfo::IsChannelService() const
{
    switch (mServiceType)
    {
    case ServiceTypeMos:
    case ServiceTypeFimsCapture:
    case ServiceTypeFimsTransfer:
    case ServiceTypeFimsTransform:
    case ServiceTypeHarlen:
        return true;
    default:
        return false;
    }
}

bool WebServiceInfo::IsMachineService() const
{
    return mServiceType == ServiceTypeQuorel || mServiceType == ServiceTypeMaintenance;
}

WebServiceInfo::ServiceType WebServiceInfo::GetActiveType() const
{
    const std::string blockedBy = GetStatusBlockedBy();
    const ServiceTypeText active[] = {cServiceTypes[5], cServiceTypes[1], cServiceTypes[2], cServiceTypes[3],
                                      cServiceTypes[0]};
    for (const ServiceTypeText& rEntry : active)
    {
        if (blockedBy == rEntry.mWire)
            return rEntry.mType;
    }
    return ServiceTypeUnknown;
}

unsigned int WebServiceInfo::GetChannelNumber() const
{
    // Converted as lexical_cast does, without an exception for the many
    // entries that carry no number (this runs for every row on every paint).
    unsigned int number = 0;
    if (boost::conversion::try_lexical_convert(GetDescriptionNumber(), number))
        return number;
    const QStringList parts = GetUrl().split(QLatin1Char(':'), Qt::KeepEmptyParts);
    bool bOk = false;
    const int port = parts.back().toInt(&bOk, 10);
    if (bOk && port >= 8011 && port <= 8026)
        return static_cast<unsigned int>(port - 8010);
    return 0;
}

QStringList WebServiceInfo::GetBroadcastChannelUrls() const
{
    QStringList urls;
    for (const JoxCore::ChannelStateGroupMember& rMember : mGroupInformation.GetMembers())
        urls.append(rMember.mAddress.toString());
    if (urls.isEmpty())
        urls.append(GetUrl());
    return urls;
}

void WebServiceInfo::AddServiceTypeToList(ServiceType type)
{
    if (!mServiceTypeList.contains(type))
        mServiceTypeList.append(type);
}

void WebServiceInfo::RemoveServiceTypeFromList(ServiceType type)
{
    mServiceTypeList.removeAll(type);
}

void WebServiceInfo::RemoveType(const std::string& rItem)
{
    std::list<std::string> copy = GetTypesList();
    copy.remove(rItem);
    SetTypesList(copy);
}

void WebServiceInfo::DetermineMatchingUrls(const JoxConfig::LocalIpMatcher* pMatcher)
{
    if (pMatcher == nullptr)
        return;
    std::list<std::string> urls;
    for (const QString& rUrl : mUrls)
        urls.push_back(rUrl.toUtf8().toStdString());
    for (const std::string& rMatch : pMatcher->DetermineMatchingUrls(urls))
        mMatchingUrls.append(Utf8(rMatch));
}

bool WebServiceInfo::IsSameServer(const WebServiceInfo& rOther) const
{
    if (!mEndpoint.empty() && !rOther.mEndpoint.empty())
        return mEndpoint == rOther.mEndpoint;
    return GetUrl() == rOther.GetUrl();
}

WebServiceInfo::ServiceType WebServiceInfo::ServiceTypeFromString(const std::string& rText)
{
    for (const ServiceTypeText& rEntry : cServiceTypes)
    {
        if (rText == rEntry.mWire)
            return rEntry.mType;
    }
    return ServiceTypeUnknown;
}

QString WebServiceInfo::ConvertServiceTypeToQString(ServiceType type)
{
    for (const ServiceTypeText& rEntry : cServiceTypes)
    {
        if (type == rEntry.mType)
            return QString::fromLatin1(rEntry.mDisplay);
    }
    return QString();
}

namespace {

// The XML element names of the metadata items, by eTypeNames index.
const char* const cMetadataElements[JoxTypesMaster::eTypeNamesCount] = {
    nullptr, "statusblockedby", "servicename", "serviceversion", "descriptionnumber", "descriptionname",
    "hardwaremanufacturer", "hardwarename", "hardwarerevision", "softwaremanufacturer", "softwarename",
    "softwareversion"};

} // namespace

void WebServiceInfo::ToXml(QDomElement& rElement)
{
    XmlElementCursor cursor(rElement, XmlElementCursor::ForWriting);
    if (!cursor.IsWritable())
        return;
    cursor.WriteInt("status", static_cast<int>(GetStatus()), false);
    for (int index = eStatusBlockedBy; index < eTypeNamesCount; ++index)
        cursor.WriteString(cMetadataElements[index], GetGenericType(mpTypeNames[index]), false);
    cursor.WriteString("displayname", mDisplayName.toUtf8().toStdString(), false);
    cursor.WriteString("hostname", mHostName.toUtf8().toStdString(), false);
    cursor.Enter("xaddresses");
    for (const QString& rUrl : mUrls)
    {
        cursor.Enter("xaddress");
        cursor.WriteString("url", rUrl.toUtf8().toStdString(), true);
        cursor.Leave();
    }
    cursor.Leave();
    cursor.Enter("types");
    for (const std::string& rItem : mTypes)
    {
        cursor.Enter("type");
        cursor.WriteString("typeattribute", rItem, true);
        cursor.Leave();
    }
    cursor.Leave();
    cursor.WriteString("endpoint", mEndpoint, false);
    cursor.WriteInt("servicetype", static_cast<int>(mServiceType), false);

    QDomElement group = rElement.ownerDocument().createElement("groupinformation");
    mGroupInformation.ToXml(group);
    rElement.appendChild(group);
}

void WebServiceInfo::Clear()
{
    mDisplayName.clear();
    mHostName.clear();
    mUrls.clear();
    mTypes.clear();
    mEndpoint.clear();
    mServiceType = ServiceTypeUnknown;
    mGroupInformation.Reset();
    SetStatus(eStatusNone, nullptr);
    for (int index = 0; index < eTypeNamesCount; ++index)
        SetTypeValue(static_cast<eTypeNames>(index), std::string());
}

void WebServiceInfo::FromXml(const QDomElement& rElement, const JoxConfig::LocalIpMatcher* pMatcher)
{
    XmlElementCursor cursor(rElement, XmlElementCursor::ForReading);
    if (!cursor.IsReadable())
        return;
    Clear();
    SetStatus(static_cast<eStatus>(cursor.ReadInt("status", eStatusNone, false)), nullptr);
    for (int index = eStatusBlockedBy; index < eTypeNamesCount; ++index)
        SetTypeValue(static_cast<eTypeNames>(index), cursor.ReadString(cMetadataElements[index], std::string(), false));
    mDisplayName = Utf8(cursor.ReadString("displayname", std::string(), false));
    mHostName = Utf8(cursor.ReadString("hostname", std::string(), false));
    if (cursor.Enter("xaddresses"))
    {
        while (cursor.Enter("xaddress"))
        {
            mUrls.append(Utf8(cursor.ReadString("url", std::string(), true)));
            cursor.Leave();
        }
        cursor.Leave();
    }
    if (cursor.Enter("types"))
    {
        while (cursor.Enter("type"))
        {
            mTypes.push_back(cursor.ReadString("typeattribute", std::string(), true));
            cursor.Leave();
        }
        cursor.Leave();
    }
    mEndpoint = cursor.ReadString("endpoint", std::string(), false);
    mServiceType = static_cast<ServiceType>(cursor.ReadInt("servicetype", ServiceTypeUnknown, false));
    const QDomElement group = cursor.FirstChildElement("groupinformation", QDomElement());
    mGroupInformation.Reset();
    if (!group.isNull())
        mGroupInformation.FromXml(group);
    DetermineMatchingUrls(pMatcher);
}

} // namespace JoxWsdd
