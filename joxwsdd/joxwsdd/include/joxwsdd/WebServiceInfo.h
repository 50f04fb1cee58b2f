#pragma once

#include <joxwsdd/ChannelStateGroupInfo.h>
#include <joxwsdd/IWebServiceSpecification.h>
#include <joxwsdd/JoxTypesMaster.h>
#include <joxwsdd/PelwickExport.h>

#include <boost/shared_ptr.hpp>

#include <QDomElement>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <list>
#include <string>

namespace JoxConfig {
class LocalIpMatcher;
}

namespace JoxWsdd {

// One service: discovered (from a Hello, ProbeMatch or ResolveMatch) or
// configured by the user (static). Its metadata lives as "key__value" items
// in its Types list.
class PELWICK_EXPORT WebServiceInfo : public IWebServiceSpecification, public JoxTypesMaster
{
public:
    enum ServiceType
    {
        ServiceTypeMos = 0,
        ServiceTypeFimsCapture = 1,
        ServiceTypeFimsTransfer = 2,
        ServiceTypeFimsTransform = 3,
        ServiceTypeQuorel = 4,
        ServiceTypeHarlen = 5,
        ServiceTypeFaldrune = 6,
        ServiceTypeMaintenance = 7,
        ServiceTypeUnknown = 8,
        ServiceTypeChannel = 9,
        ServiceTypeMachine = 10
    };

    static const char* const mpTypeKey_HostName;        // "host_name"
    static const char* const mpTypeKey_GroupType;       // "group_type"
    static const char* const mpTypeKey_GroupName;       // "group_name"
    static const char* const mpTypeKey_GroupMaster;     // "group_master"
    static const char* const mpTypeKey_GroupMembers;    // "group_members"
    static const char* const mpGroupAttributeSeparator; // ";"
    static const char* const mpGroupMembersSeparator;   // "_"

    WebServiceInfo();
    // A configured entry of one URL.
    WebServiceInfo(const QString& rUrl, bool isStatic, ServiceType type);
    // A discovered entry; xAddrs is the blank-separated XAddrs text or null.
    WebServiceInfo(const char* pEndpoint, const std::list<std::string>& rTypes, const char* pXAddrs);
    WebServiceInfo(const WebServiceInfo& rOther);
    WebServiceInfo& operator=(const WebServiceInfo& rOther);
    ~WebServiceInfo() override;

    bool Equals(const IWebServiceSpecification& rOther) const override;
    bool IsIdentical(const IWebServiceSpecification& rOther) const override;
    boost::shared_ptr<IWebServiceSpecification> Clone() const override;
    // Copies all but the matching URLs and the status, then re-reads the status.
    void Update(const IWebServiceSpecification& rOther) override;

    const std::list<std::string>& GetTypesList() const override;
    void SetTypesList(const std::list<std::string>& rList) override;

    const QString& GetDisplayName() const { return mDisplayName; }
    const std::string& GetEndpoint() const { return mEndpoint; }
    const JoxCore::ChannelStateGroupInfo& GetGroupInformation() const;
    const QList<ServiceType>& GetServiceTypeList() const { return mServiceTypeList; }
    QString GetHostName() const;
    QStringList GetUrls() const { return mUrls; }
    QStringList GetMatchingUrls() const;
    ServiceType GetServiceType() const;
    bool IsStatic() const { return mStatic; }
    // The first URL; null without URLs.
    QString GetUrl() const;
    // The first URL without "http://", cut before its first ':'.
    QString GetIp() const;
    QStringList GetIps() const;
    bool HasXAddress() const { return !mUrls.isEmpty(); }
    // For the filter lists: "host:port", "scheme:host:port" or "host:*".
    bool HasXAddress(const QString& rAddress) const;
    // True when the endpoint is known.
    bool IsValid() const { return !mEndpoint.empty(); }
    bool IsChannelService() const;
    bool IsMachineService() const;
    // The service type that currently holds the machine ("status_blockedby").
    ServiceType GetActiveType() const;
    // "description_number", else 1..16 from a first URL ending in port 8011..8026, else 0.
    unsigned int GetChannelNumber() const;
    // The group members' addresses, or the first URL alone without members.
    QStringList GetBroadcastChannelUrls() const;

    void SetDisplayName(const QString& rName) { mDisplayName = rName; }
    void SetHostName(const QString& rName) { mHostName = rName; }
    void SetServiceType(ServiceType type) { mServiceType = type; }
    void SetStatic(bool isStatic) { mStatic = isStatic; }
    void AddServiceTypeToList(ServiceType type);
    void RemoveServiceTypeFromList(ServiceType type);
    // Removes every Types item equal to the text.
    void RemoveType(const std::string& rItem);
    // Appends the URLs that lie in a local subnet to the matching URLs.
    void DetermineMatchingUrls(const JoxConfig::LocalIpMatcher* pMatcher);

    // When both endpoints are known they decide, else the first URLs.
    bool IsSameServer(const WebServiceInfo& rOther) const;

    // Writes the description as children of the element.
    void ToXml(QDomElement& rElement);
    // Reads a description written by ToXml; the matcher may be null.
    void FromXml(const QDomElement& rElement, const JoxConfig::LocalIpMatcher* pMatcher);

    // Exact, case-sensitive; 8 for any other text.
    static ServiceType ServiceTypeFromString(const std::string& rText);
    // Display text; a null string for 8 and unknown values.
    static QString ConvertServiceTypeToQString(ServiceType type);

private:
    void SetDisplayNameFromUrl(const QString& rUrl);
    void ParseGroupInformation(const std::list<std::string>& rTypes);
    void Clear();

    QString mDisplayName;
    QString mHostName;
    QStringList mUrls;
    QStringList mMatchingUrls;
    std::list<std::string> mTypes;
    std::string mEndpoint;
    ServiceType mServiceType;
    JoxCore::ChannelStateGroupInfo mGroupInformation;
    QList<ServiceType> mServiceTypeList;
    bool mStatic;
};

typedef boost::shared_ptr<WebServiceInfo> WebServiceInfoPtr;

} // namespace JoxWsdd

Q_DECLARE_METATYPE(JoxWsdd::WebServiceInfoPtr)
