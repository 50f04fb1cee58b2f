#include <joxconfig/ConfigWsddClient.h>

#include <QDomDocument>
#include <QDomElement>
#include <QSettings>

namespace JoxConfig {

namespace {

QString WithSuffix(const QString& rName, const QString& rSuffix)
{
    return rSuffix.isEmpty() ? rName : rName + QLatin1Char('_') + rSuffix;
}

QString WithoutScheme(const QString& rUrl)
{
    QString address = rUrl;
    return address.remove(QStringLiteral("http://"));
}

QStringList Urls(const ConfigWsddClientEntryList& rList)
{
    QStringList urls;
    for (const ConfigWsddClientEntryPtr& rEntry : rList.GetEntries())
        urls << WithoutScheme(rEntry->GetUrl());
    return urls;
}

} // namespace

ConfigWsddClient::ConfigWsddClient(const QString& rGroupSuffix)
    : mBlacklist(QStringLiteral("blacklist"))
    , mWhitelist(QStringLiteral("whitelist"))
    , mStatic(QStringLiteral("static"))
    , mMutedLocalIps(QStringLiteral("mutedlocalips"))
    , mGroupSuffix(rGroupSuffix)
{
}

ConfigWsddClient::ConfigWsddClient(const ConfigWsddClient& rOther)
    : ConfigBase(rOther)
    , IConfigWsddClient(rOther)
    , mBlacklist(rOther.mBlacklist)
    , mWhitelist(rOther.mWhitelist)
    , mStatic(rOther.mStatic)
    , mMutedLocalIps(rOther.mMutedLocalIps)
    , mGroupSuffix(rOther.mGroupSuffix)
{
}

void ConfigWsddClient::ReadFromSettings(QSettings& rSettings)
{
    rSettings.beginGroup(GetGroupName());
    for (ConfigWsddClientEntryList* pList : {&mBlacklist, &mWhitelist, &mStatic, &mMutedLocalIps})
        pList->ReadFromSettings(rSettings);
    rSettings.endGroup();
}

void ConfigWsddClient::WriteToSettings(QSettings& rSettings)
{
    rSettings.beginGroup(GetGroupName());
    rSettings.remove(QString());
    for (const ConfigWsddClientEntryList* pList : {&mBlacklist, &mWhitelist, &mStatic, &mMutedLocalIps})
        pList->WriteToSettings(rSettings);
    rSettings.endGroup();
}

void ConfigWsddClient::WriteXml(QDomDocument& rDocument)
{
    QDomElement root = rDocument.documentElement();
    if (root.isNull()) {
        root = rDocument.createElement(QStringLiteral("config"));
        root.setAttribute(QStringLiteral("type"), QStringLiteral("result"));
        rDocument.appendChild(root);
    }
    QDomElement category = rDocument.createElement(QStringLiteral("category"));
    category.setAttribute(QStringLiteral("type"), GetCategoryName());
    for (const ConfigWsddClientEntryList* pList : {&mBlacklist, &mWhitelist, &mStatic, &mMutedLocalIps})
        pList->WriteXml(rDocument, category);
    root.appendChild(category);
}

bool ConfigWsddClient::ReadXml(const QDomNode& rNode)
{
    QDomElement found;
    for (QDomElement config = rNode.firstChildElement(QStringLiteral("config"));
         !config.isNull() && found.isNull(); config = config.nextSiblingElement(QStringLiteral("config"))) {
        if (config.attribute(QStringLiteral("type")) != QLatin1String("result"))
            continue;
        for (QDomElement category = config.firstChildElement(QStringLiteral("category")); !category.isNull();
             category = category.nextSiblingElement(QStringLiteral("category"))) {
            if (category.attribute(QStringLiteral("type")) == GetCategoryName()) {
                found = category;
                break;
            }
        }
    }
    if (found.isNull())
        return false;
    for (ConfigWsddClientEntryList* pList : {&mBlacklist, &mWhitelist, &mStatic, &mMutedLocalIps})
        pList->ReadXml(found);
    return true;
}

QString ConfigWsddClient::GetCategoryType() const
{
    return QStringLiteral("wsddclient");
}

ConfigBase* ConfigWsddClient::Clone() const
{
    return new ConfigWsddClient(*this);
}

ConfigBase* ConfigWsddClient::CreateEmpty() const
{
    return new ConfigWsddClient();
}

QStringList ConfigWsddClient::GetBlacklistUrls() const
{
    return Urls(mBlacklist);
}

QStringList ConfigWsddClient::GetWhitelistUrls() const
{
    return Urls(mWhitelist);
}

std::vector<std::string> ConfigWsddClient::GetMutedLocalIps() const
{
    std::vector<std::string> addresses;
    for (const ConfigWsddClientEntryPtr& rEntry : mMutedLocalIps.GetEntries())
        addresses.push_back(rEntry->GetIp().toStdString());
    return addresses;
}

QList<QPair<QString, QString>> ConfigWsddClient::GetStaticUrls() const
{
    QList<QPair<QString, QString>> urls;
    for (const ConfigWsddClientEntryPtr& rEntry : mStatic.GetEntries())
        urls.append(qMakePair(WithoutScheme(rEntry->GetUrl()), rEntry->GetType()));
    return urls;
}

void ConfigWsddClient::AddBlacklistEntry(const ConfigWsddClientEntryPtr& rEntry) { mBlacklist.Append(rEntry); }
void ConfigWsddClient::AddWhitelistEntry(const ConfigWsddClientEntryPtr& rEntry) { mWhitelist.Append(rEntry); }
void ConfigWsddClient::AddStaticEntry(const ConfigWsddClientEntryPtr& rEntry) { mStatic.Append(rEntry); }
void ConfigWsddClient::AddMutedLocalIp(const ConfigWsddClientEntryPtr& rEntry) { mMutedLocalIps.Append(rEntry); }
void ConfigWsddClient::ClearBlacklist() { mBlacklist.Clear(); }
void ConfigWsddClient::ClearWhitelist() { mWhitelist.Clear(); }
void ConfigWsddClient::ClearStaticEntries() { mStatic.Clear(); }
void ConfigWsddClient::ClearMutedLocalIps() { mMutedLocalIps.Clear(); }
ConfigWsddClientEntryList ConfigWsddClient::GetBlacklist() const { return mBlacklist; }
ConfigWsddClientEntryList ConfigWsddClient::GetWhitelist() const { return mWhitelist; }
ConfigWsddClientEntryList ConfigWsddClient::GetStaticEntries() const { return mStatic; }
ConfigWsddClientEntryList ConfigWsddClient::GetMutedLocalIpEntries() const { return mMutedLocalIps; }

QString ConfigWsddClient::GetGroupName() const
{
    return WithSuffix(QStringLiteral("WsddClient"), mGroupSuffix);
}

QString ConfigWsddClient::GetCategoryName() const
{
    return WithSuffix(QStringLiteral("wsddclient"), mGroupSuffix);
}

} // namespace JoxConfig
