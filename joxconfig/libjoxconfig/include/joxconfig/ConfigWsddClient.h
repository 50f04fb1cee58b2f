#pragma once

#include <joxconfig/ConfigBase.h>
#include <joxconfig/ConfigWsddClientEntryList.h>
#include <joxconfig/IConfigWsddClient.h>

#include <boost/shared_ptr.hpp>

namespace JoxConfig {

// The discovery client's filter lists: black list, white list, static
// entries and muted local addresses, stored in the group "WsddClient" or
// "WsddClient_<suffix>".
class ConfigWsddClient : public ConfigBase, public IConfigWsddClient
{
public:
    explicit ConfigWsddClient(const QString& rGroupSuffix = QString());
    ConfigWsddClient(const ConfigWsddClient& rOther);
    ConfigWsddClient& operator=(const ConfigWsddClient&) = delete;

    void ReadFromSettings(QSettings& rSettings) override;
    void WriteToSettings(QSettings& rSettings) override;
    // Appends a "category" element to the document's "config" root.
    void WriteXml(QDomDocument& rDocument) override;
    bool ReadXml(const QDomNode& rNode) override;
    // "wsddclient".
    QString GetCategoryType() const override;
    ConfigBase* Clone() const override;
    ConfigBase* CreateEmpty() const override;

    QStringList GetBlacklistUrls() const override;
    QStringList GetWhitelistUrls() const override;
    std::vector<std::string> GetMutedLocalIps() const override;
    QList<QPair<QString, QString>> GetStaticUrls() const override;

    void AddBlacklistEntry(const ConfigWsddClientEntryPtr& rEntry);
    void AddWhitelistEntry(const ConfigWsddClientEntryPtr& rEntry);
    void AddStaticEntry(const ConfigWsddClientEntryPtr& rEntry);
    void AddMutedLocalIp(const ConfigWsddClientEntryPtr& rEntry);
    void ClearBlacklist();
    void ClearWhitelist();
    void ClearStaticEntries();
    void ClearMutedLocalIps();
    ConfigWsddClientEntryList GetBlacklist() const;
    ConfigWsddClientEntryList GetWhitelist() const;
    ConfigWsddClientEntryList GetStaticEntries() const;
    // The muted local addresses as entries.
    ConfigWsddClientEntryList GetMutedLocalIpEntries() const;

    const QString& GetGroupSuffix() const { return mGroupSuffix; }
    // "WsddClient", or "WsddClient_" and the suffix.
    QString GetGroupName() const;
    // "wsddclient", or "wsddclient_" and the suffix.
    QString GetCategoryName() const;

private:
    ConfigWsddClientEntryList mBlacklist;
    ConfigWsddClientEntryList mWhitelist;
    ConfigWsddClientEntryList mStatic;
    ConfigWsddClientEntryList mMutedLocalIps;
    QString mGroupSuffix;
};

using ConfigWsddClientPtr = boost::shared_ptr<ConfigWsddClient>;

} // namespace JoxConfig
