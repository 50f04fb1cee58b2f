#include <joxconfig/ConfigWsddClient.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QProcess>
#include <QSettings>
#include <boost/make_shared.hpp>

namespace {

using JoxConfig::ConfigWsddClient;
using JoxConfig::ConfigWsddClientEntry;

TEST(ConfigWsddClientEntryTest, Construction)
{
    const ConfigWsddClientEntry byDefault;
    EXPECT_EQ(byDefault.GetIp(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(byDefault.GetPort(), -1);
    EXPECT_EQ(byDefault.GetType(), QStringLiteral("ALL"));
    EXPECT_EQ(byDefault.GetUrl(), QStringLiteral("http://127.0.0.1:-1"));

    EXPECT_EQ(ConfigWsddClientEntry(QStringLiteral("10.0.0.5"), 8011, QStringLiteral("CHANNEL"), QString()).GetPort(), 8011);
    EXPECT_EQ(ConfigWsddClientEntry(QStringLiteral("10.0.0.5"), 8011, QStringLiteral("MACHINE"), QString()).GetPort(), -1);

    struct Case
    {
        QString url, type;
        QString ip;
        int port;
        QString form;
    } cases[] = {
        {QStringLiteral("http://10.0.0.5:8011"), QStringLiteral("MACHINE"), QStringLiteral("10.0.0.5"), 8011,
         QStringLiteral("http://10.0.0.5:*")},
        {QStringLiteral("10.0.0.5:8011"), QStringLiteral("CHANNEL"), QStringLiteral("10.0.0.5"), 8011,
         QStringLiteral("http://10.0.0.5:8011")},
        {QStringLiteral("10.0.0.5:abc"), QStringLiteral("CHANNEL"), QStringLiteral("10.0.0.5"), 0,
         QStringLiteral("http://10.0.0.5:0")},
        {QStringLiteral("10.0.0.5"), QStringLiteral("ALL"), QStringLiteral("10.0.0.5"), -1,
         QStringLiteral("http://10.0.0.5:-1")},
        {QStringLiteral("http://a:1:2"), QStringLiteral("ALL"), QStringLiteral("a"), -1, QStringLiteral("http://a:-1")},
    };
    for (const Case& c : cases) {
        const ConfigWsddClientEntry entry(c.url, c.type, QString());
        EXPECT_EQ(entry.GetIp(), c.ip) << c.url.toStdString();
        EXPECT_EQ(entry.GetPort(), c.port) << c.url.toStdString();
        EXPECT_EQ(entry.GetUrl(), c.form) << c.url.toStdString();
    }
}

ConfigWsddClient SampleConfig(const QString& rSuffix)
{
    ConfigWsddClient config(rSuffix);
    config.AddBlacklistEntry(boost::make_shared<ConfigWsddClientEntry>(QStringLiteral("10.0.0.5"), 8011,
                                                                       QStringLiteral("CHANNEL"), QString()));
    config.AddBlacklistEntry(boost::make_shared<ConfigWsddClientEntry>(QStringLiteral("10.0.0.6"), 8011,
                                                                       QStringLiteral("MACHINE"), QString()));
    config.AddWhitelistEntry(boost::make_shared<ConfigWsddClientEntry>(QStringLiteral("*"), -1,
                                                                       QStringLiteral("ALL"), QString()));
    config.AddStaticEntry(boost::make_shared<ConfigWsddClientEntry>(QStringLiteral("10.0.0.7"), 8012,
                                                                    QStringLiteral("CHANNEL"), QStringLiteral("10.0.0.9")));
    config.AddMutedLocalIp(boost::make_shared<ConfigWsddClientEntry>(QStringLiteral("10.0.0.1:0"),
                                                                     QStringLiteral("MACHINE"), QString()));
    return config;
}

// Every key of the file as another INI reader sees it: "section|key=value".
QStringList KeysByConfigParser(const QString& rPath)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import configparser,sys\n"
                                 "p=configparser.ConfigParser(interpolation=None)\n"
                                 "p.optionxform=str\n"
                                 "p.read(sys.argv[1])\n"
                                 "for s in p.sections():\n"
                                 "  for k,v in p.items(s): print(s+'|'+k+'='+v)\n"),
                  rPath});
    EXPECT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

TEST(ConfigWsddClientTest, IniLayoutSeenByAnotherReader)
{
    tandriltest::TempDir temp;
    const QString path = QString::fromStdString(temp.File("wsdd_client.conf"));
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.beginGroup(QStringLiteral("1.0"));
        ConfigWsddClient config = SampleConfig(QStringLiteral("Tandril"));
        config.WriteToSettings(settings);
        settings.endGroup();
    }
    QStringList expected = {
        QStringLiteral("1.0|WsddClient_Tandril\\blacklist\\size=2"),
        QStringLiteral("1.0|WsddClient_Tandril\\blacklist\\1\\IP=10.0.0.5"),
        QStringLiteral("1.0|WsddClient_Tandril\\blacklist\\1\\Port=8011"),
        QStringLiteral("1.0|WsddClient_Tandril\\blacklist\\1\\Type=CHANNEL"),
        QStringLiteral("1.0|WsddClient_Tandril\\blacklist\\2\\IP=10.0.0.6"),
        QStringLiteral("1.0|WsddClient_Tandril\\blacklist\\2\\Type=MACHINE"),
        QStringLiteral("1.0|WsddClient_Tandril\\whitelist\\size=1"),
        QStringLiteral("1.0|WsddClient_Tandril\\whitelist\\1\\IP=*"),
        QStringLiteral("1.0|WsddClient_Tandril\\whitelist\\1\\Type=ALL"),
        QStringLiteral("1.0|WsddClient_Tandril\\static\\size=1"),
        QStringLiteral("1.0|WsddClient_Tandril\\static\\1\\IP=10.0.0.7"),
        QStringLiteral("1.0|WsddClient_Tandril\\static\\1\\Port=8012"),
        QStringLiteral("1.0|WsddClient_Tandril\\static\\1\\Type=CHANNEL"),
        QStringLiteral("1.0|WsddClient_Tandril\\static\\1\\QuorelIP=10.0.0.9"),
        QStringLiteral("1.0|WsddClient_Tandril\\mutedlocalips\\size=1"),
        QStringLiteral("1.0|WsddClient_Tandril\\mutedlocalips\\1\\IP=10.0.0.1"),
        QStringLiteral("1.0|WsddClient_Tandril\\mutedlocalips\\1\\Type=MACHINE"),
    };
    expected.sort();
    EXPECT_EQ(KeysByConfigParser(path), expected);
}

TEST(ConfigWsddClientTest, SettingsRoundTripAndInterface)
{
    tandriltest::TempDir temp;
    const QString path = QString::fromStdString(temp.File("x.conf"));
    {
        QSettings settings(path, QSettings::IniFormat);
        ConfigWsddClient config = SampleConfig(QStringLiteral("MACHINE"));
        config.WriteToSettings(settings);
        // An element without Type reads as "ALL".
        settings.setValue(QStringLiteral("WsddClient_MACHINE/whitelist/2/IP"), QStringLiteral("10.1.1.1"));
        settings.setValue(QStringLiteral("WsddClient_MACHINE/whitelist/size"), 2);
    }
    QSettings settings(path, QSettings::IniFormat);
    EXPECT_EQ(settings.childGroups(), QStringList{QStringLiteral("WsddClient_MACHINE")});
    ConfigWsddClient config(QStringLiteral("MACHINE"));
    config.ReadFromSettings(settings);
    EXPECT_EQ(config.GetBlacklistUrls(), (QStringList{QStringLiteral("10.0.0.5:8011"), QStringLiteral("10.0.0.6:*")}));
    EXPECT_EQ(config.GetWhitelistUrls(), (QStringList{QStringLiteral("*:-1"), QStringLiteral("10.1.1.1:-1")}));
    ASSERT_EQ(config.GetWhitelist().GetEntries().size(), 2);
    EXPECT_EQ(config.GetWhitelist().GetEntries().at(1)->GetType(), QStringLiteral("ALL"));
    EXPECT_EQ(config.GetBlacklist().GetEntries().at(1)->GetPort(), -1);
    EXPECT_EQ(config.GetMutedLocalIps(), std::vector<std::string>{"10.0.0.1"});
    const auto statics = config.GetStaticUrls();
    ASSERT_EQ(statics.size(), 1);
    EXPECT_EQ(statics.at(0).first, QStringLiteral("10.0.0.7:8012"));
    EXPECT_EQ(statics.at(0).second, QStringLiteral("CHANNEL"));
    EXPECT_EQ(config.GetStaticEntries().GetEntries().at(0)->GetQuorelIp(), QStringLiteral("10.0.0.9"));

    // Writing again replaces the group instead of merging into it.
    config.ClearBlacklist();
    config.ClearWhitelist();
    config.WriteToSettings(settings);
    settings.sync();
    EXPECT_FALSE(settings.contains(QStringLiteral("WsddClient_MACHINE/whitelist/2/IP")));
    EXPECT_EQ(settings.value(QStringLiteral("WsddClient_MACHINE/blacklist/size")).toInt(), 0);
}

TEST(ConfigWsddClientTest, CopiesShareEntriesButNotLists)
{
    ConfigWsddClient config = SampleConfig(QStringLiteral("Tandril"));
    config.SetType(4);
    std::unique_ptr<JoxConfig::ConfigBase> clone(config.Clone());
    auto* pCopy = dynamic_cast<ConfigWsddClient*>(clone.get());
    ASSERT_TRUE(pCopy);
    EXPECT_EQ(pCopy->GetType(), 4);
    EXPECT_EQ(pCopy->GetGroupName(), QStringLiteral("WsddClient_Tandril"));
    EXPECT_EQ(pCopy->GetBlacklist().GetEntries().at(0).get(), config.GetBlacklist().GetEntries().at(0).get());
    pCopy->ClearBlacklist();
    EXPECT_EQ(config.GetBlacklist().GetEntries().size(), 2);
    std::unique_ptr<JoxConfig::ConfigBase> empty(config.CreateEmpty());
    EXPECT_EQ(dynamic_cast<ConfigWsddClient*>(empty.get())->GetGroupName(), QStringLiteral("WsddClient"));
}

TEST(ConfigWsddClientTest, XmlRoundTrip)
{
    QDomDocument document;
    ConfigWsddClient written = SampleConfig(QStringLiteral("Tandril"));
    written.WriteXml(document);
    const QDomElement root = document.documentElement();
    EXPECT_EQ(root.tagName(), QStringLiteral("config"));
    EXPECT_EQ(root.attribute(QStringLiteral("type")), QStringLiteral("result"));
    const QDomElement category = root.firstChildElement(QStringLiteral("category"));
    EXPECT_EQ(category.attribute(QStringLiteral("type")), QStringLiteral("wsddclient_Tandril"));
    const QDomElement machine = category.firstChildElement(QStringLiteral("blacklist")).lastChildElement();
    EXPECT_FALSE(machine.hasAttribute(QStringLiteral("Port")));
    EXPECT_TRUE(machine.hasAttribute(QStringLiteral("QuorelIP")));

    // Through text and back: compare parsed content, not bytes.
    QDomDocument parsed;
    ASSERT_TRUE(parsed.setContent(document.toString()));
    ConfigWsddClient read(QStringLiteral("Tandril"));
    ASSERT_TRUE(read.ReadXml(parsed));
    EXPECT_EQ(read.GetBlacklistUrls(), written.GetBlacklistUrls());
    EXPECT_EQ(read.GetWhitelistUrls(), written.GetWhitelistUrls());
    EXPECT_EQ(read.GetStaticUrls(), written.GetStaticUrls());
    EXPECT_EQ(read.GetMutedLocalIps(), written.GetMutedLocalIps());

    // Another suffix, or a root that is no result, finds nothing and changes nothing.
    ConfigWsddClient other(QStringLiteral("MACHINE"));
    EXPECT_FALSE(other.ReadXml(parsed));
    QDomDocument query;
    ASSERT_TRUE(query.setContent(QStringLiteral(
        "<config type=\"query\"><category type=\"wsddclient_Tandril\"><blacklist/></category></config>")));
    EXPECT_FALSE(read.ReadXml(query));
    EXPECT_EQ(read.GetBlacklist().GetEntries().size(), 2);
}

} // namespace
