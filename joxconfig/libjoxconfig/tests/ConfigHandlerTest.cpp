#include <joxconfig/ConfigHandlerWsddConfig.h>
#include <joxconfig/ConfigLocations.h>
#include <joxconfig/ConfigWsddClient.h>

#include <joxlog/JoxLog.h>

#include "ScopedEnv.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSettings>
#include <boost/make_shared.hpp>

#include <mutex>
#include <vector>

namespace {

using JoxConfig::ConfigHandlerWsddConfig;
using JoxConfig::ConfigWsddClient;

struct LogRecord
{
    int level;
    std::string category, message;
};
std::vector<LogRecord> gRecords;

void Capture(int level, int, const char* category, const char* message, const char*, int, const char*,
             const JoxCore::TimeStamp*)
{
    gRecords.push_back({level, category ? category : "", message ? message : ""});
}

class ConfigHandlerTest : public ::testing::Test
{
protected:
    ConfigHandlerTest()
        : mEnv("PROGRAMDATA", mTemp.Path().c_str())
        , mHandler(&Capture)
    {
        gRecords.clear();
        QDir().mkpath(QString::fromStdString(mTemp.File("JOX")));
    }

    QString IniPath() const { return JoxConfig::ConfigFilePath(JoxConfig::ConfigFileWsddClient, JoxConfig::ProductNone); }
    QString LegacyPath() const
    {
        return JoxConfig::ConfigFilePath(JoxConfig::ConfigFileLegacyServices, JoxConfig::ProductNone);
    }
    static void Write(const QString& rPath, const QByteArray& rContent)
    {
        QFile file(rPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(rContent);
    }
    static QByteArray Read(const QString& rPath)
    {
        QFile file(rPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool Logged(int level, const std::string& rMessage) const
    {
        for (const LogRecord& r : gRecords)
            if (r.level == level && r.category == "Config" && r.message == rMessage)
                return true;
        return false;
    }

    tandriltest::TempDir mTemp;
    tandriltest::ScopedEnv mEnv;
    JoxCore::SetLogHandler mHandler;
};

TEST_F(ConfigHandlerTest, NoFilesGiveDefaultsAndCreateNothing)
{
    ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
    ASSERT_EQ(gRecords.size(), 1u);
    EXPECT_TRUE(Logged(3, "Could not open config file for conversion: " + IniPath().toStdString() +
                              " \n Default settings are written."));
    EXPECT_FALSE(QFile::exists(IniPath()));
    const auto config = handler.CreateConfig(QStringLiteral("Tandril"));
    EXPECT_TRUE(Logged(3, "Load Settings from non existent file " + IniPath().toStdString() +
                              ". Prepare for standard Config object Type: wsddclient"));
    EXPECT_TRUE(config->GetBlacklistUrls().isEmpty());
    EXPECT_TRUE(config->GetStaticUrls().isEmpty());
    EXPECT_FALSE(QFile::exists(IniPath()));
}

TEST_F(ConfigHandlerTest, SaveThenLoadWithSuffix)
{
    ConfigHandlerWsddConfig handler(IniPath(), 1, 7);
    auto config = handler.CreateConfig(QStringLiteral("Tandril"));
    EXPECT_EQ(config->GetType(), 7);
    config->AddStaticEntry(boost::make_shared<JoxConfig::ConfigWsddClientEntry>(
        QStringLiteral("10.0.0.5"), 8011, QStringLiteral("CHANNEL"), QString()));
    handler.saveSettings(config);

    ConfigHandlerWsddConfig again(IniPath(), 1, 0);
    EXPECT_DOUBLE_EQ(again.GetConfigVersionFromFile(), 1.0);
    EXPECT_EQ(again.CreateConfig(QStringLiteral("Tandril"))->GetStaticUrls().size(), 1);
    EXPECT_TRUE(again.CreateConfig(QString())->GetStaticUrls().isEmpty());
    QSettings settings(IniPath(), QSettings::IniFormat);
    EXPECT_EQ(settings.value(QStringLiteral("1.0/WsddClient_Tandril/static/1/Port")).toInt(), 8011);
}

TEST_F(ConfigHandlerTest, LegacyFileIsConvertedOnceAndKept)
{
    const QByteArray legacy = "http://10.0.0.5:8011 10.0.0.9\n"
                              "   # a comment line\n"
                              "[whitelist]\n"
                              "http://10.0.0.6:8012 # trailing comment\n"
                              "[blacklist]  \n"
                              "10.0.0.7:8013\n";
    Write(LegacyPath(), legacy);
    {
        ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
        EXPECT_TRUE(Logged(3, "Found old config but no new one: " + LegacyPath().toStdString() +
                                  " \n Load defaults from old file."));
        // Read under the group without suffix, which the conversion writes.
        const auto config = handler.CreateConfig(QString());
        const auto statics = config->GetStaticEntries().GetEntries();
        ASSERT_EQ(statics.size(), 1);
        EXPECT_EQ(statics.at(0)->GetIp(), QStringLiteral("10.0.0.5"));
        EXPECT_EQ(statics.at(0)->GetPort(), 8011);
        EXPECT_EQ(statics.at(0)->GetType(), QStringLiteral("CHANNEL"));
        EXPECT_EQ(statics.at(0)->GetQuorelIp(), QStringLiteral("10.0.0.9"));
        EXPECT_EQ(config->GetWhitelistUrls(), QStringList{QStringLiteral("10.0.0.6:8012")});
        EXPECT_EQ(config->GetBlacklistUrls(), QStringList{QStringLiteral("10.0.0.7:8013")});
        // The program's own group does not see the converted lists.
        EXPECT_TRUE(handler.CreateConfig(QStringLiteral("Tandril"))->GetStaticUrls().isEmpty());
    }
    const QByteArray ini = Read(IniPath());
    EXPECT_FALSE(ini.contains("http://")) << ini.constData();
    EXPECT_FALSE(ini.contains("comment"));
    QSettings settings(IniPath(), QSettings::IniFormat);
    EXPECT_EQ(settings.childGroups(), QStringList{QStringLiteral("1.0")});
    EXPECT_EQ(Read(LegacyPath()), legacy);
    EXPECT_FALSE(QFile::exists(IniPath() + QStringLiteral(".backup")));

    // A second handler finds the current version and leaves the file alone.
    gRecords.clear();
    ConfigHandlerWsddConfig again(IniPath(), 1, 0);
    EXPECT_TRUE(gRecords.empty());
    EXPECT_EQ(Read(IniPath()), ini);
}

TEST_F(ConfigHandlerTest, InvalidStaticUrlIsDropped)
{
    Write(LegacyPath(), "http://10.0.0.5:8011\nhttp://[bad:80\n");
    ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
    EXPECT_EQ(handler.CreateConfig(QString())->GetStaticUrls().size(), 1);
}

TEST_F(ConfigHandlerTest, SeveralVersionGroupsWarnAndTheLargestCounts)
{
    Write(IniPath(), "[0.9]\na=1\n[1.0]\nb=2\n[General]\nc=3\n[name]\nd=4\n");
    const QByteArray before = Read(IniPath());
    ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
    EXPECT_TRUE(Logged(2, "Found more than one pure number group name!"));
    EXPECT_DOUBLE_EQ(handler.GetConfigVersionFromFile(), 1.0);
    EXPECT_EQ(Read(IniPath()), before);
    EXPECT_FALSE(QFile::exists(IniPath() + QStringLiteral(".backup")));
}

TEST_F(ConfigHandlerTest, OlderVersionIsBackedUpThenReadAsLegacyText)
{
    const QByteArray old = "[0.5]\nhttp://10.0.0.5:8011=x\n";
    Write(IniPath(), old);
    ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
    EXPECT_EQ(Read(IniPath() + QStringLiteral(".backup")), old);
    QSettings settings(IniPath(), QSettings::IniFormat);
    EXPECT_EQ(settings.childGroups(), QStringList{QStringLiteral("1.0")});
    EXPECT_DOUBLE_EQ(handler.GetConfigVersionFromFile(), 1.0);
}

TEST_F(ConfigHandlerTest, OlderVersionIsLeftAloneWhenNoBackupCanBeMade)
{
    const QByteArray old = "[0.5]\nkey=value\n";
    Write(IniPath(), old);
    Write(IniPath() + QStringLiteral(".backup"), "an earlier backup");
    ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
    EXPECT_TRUE(Logged(3, "Could not copy file: " + IniPath().toStdString() +
                              " use new file with empty default list.\n"));
    EXPECT_EQ(Read(IniPath()), old);
    EXPECT_EQ(Read(IniPath() + QStringLiteral(".backup")), QByteArray("an earlier backup"));
}

TEST_F(ConfigHandlerTest, DamagedFilesMakeUpNoEntries)
{
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 7919) % 256));
    const QByteArray samples[] = {garbage, "[1.0\nWsddClient\\static\\size=999999\n",
                                  "[1.0]\nWsddClient_Tandril\\static\\size=2000000000\nWsddClient_Tandril\\static\\1\\IP=a\n",
                                  "[1.0]\nWsddClient_Tandril\\static\\size=3\nWsddClient_Tandril\\static\\2\\Port=x\n"};
    for (const QByteArray& rSample : samples) {
        Write(IniPath(), rSample);
        ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
        const auto config = handler.CreateConfig(QStringLiteral("Tandril"));
        for (const auto& rPair : config->GetStaticUrls())
            EXPECT_FALSE(rPair.first.isNull());
        EXPECT_LE(config->GetStaticUrls().size(), 3);
        QFile::remove(IniPath());
        QFile::remove(IniPath() + QStringLiteral(".backup"));
    }
}

TEST_F(ConfigHandlerTest, OneBadLineKeepsTheReadableListsAndSavingKeepsACopy)
{
    const QByteArray damaged = "[1.0]\n"
                               "WsddClient_Tandril\\blacklist\\size=1\n"
                               "WsddClient_Tandril\\blacklist\\1\\IP=10.0.0.1\n"
                               "WsddClient_Tandril\\blacklist\\1\\Type=MACHINE\n"
                               "this line is no key\n"
                               "WsddClient_Tandril\\whitelist\\size=1\n"
                               "WsddClient_Tandril\\whitelist\\1\\IP=10.0.0.2\n"
                               "WsddClient_Tandril\\whitelist\\1\\Type=MACHINE\n"
                               "WsddClient_Other\\static\\size=1\n"
                               "WsddClient_Other\\static\\1\\IP=10.0.0.3\n";
    const QString copyPath = IniPath() + QStringLiteral(".damaged");
    Write(IniPath(), damaged);
    {
        ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
        const auto config = handler.CreateConfig(QStringLiteral("Tandril"));
        EXPECT_EQ(config->GetBlacklistUrls(), QStringList{QStringLiteral("10.0.0.1:*")});
        EXPECT_EQ(config->GetWhitelistUrls(), QStringList{QStringLiteral("10.0.0.2:*")});
        EXPECT_TRUE(Logged(2, "Settings file " + IniPath().toStdString() +
                                  " is damaged; only its readable entries are used. Type: wsddclient"));

        // The first save keeps the damaged text aside, then writes.
        config->AddStaticEntry(boost::make_shared<JoxConfig::ConfigWsddClientEntry>(
            QStringLiteral("10.0.0.9"), -1, QStringLiteral("MACHINE"), QString()));
        EXPECT_TRUE(handler.saveSettings(config));
        EXPECT_EQ(Read(copyPath), damaged);
        EXPECT_TRUE(Logged(2, "Settings file " + IniPath().toStdString() +
                                  " could not be read cleanly; a copy is kept as " + copyPath.toStdString() + "."));
    }
    {
        ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
        const auto config = handler.CreateConfig(QStringLiteral("Tandril"));
        EXPECT_EQ(config->GetBlacklistUrls().size(), 1);
        EXPECT_EQ(config->GetWhitelistUrls().size(), 1);
        EXPECT_EQ(config->GetStaticUrls().size(), 1);
        EXPECT_EQ(handler.CreateConfig(QStringLiteral("Other"))->GetStaticUrls().size(), 1);
        // A clean file is saved without another copy.
        gRecords.clear();
        EXPECT_TRUE(handler.saveSettings(config));
        EXPECT_TRUE(gRecords.empty());
        EXPECT_FALSE(QFile::exists(copyPath + QStringLiteral(".2")));
    }

    // Damaged again, with other text: the earlier copy stays, a second one is made.
    const QByteArray second = damaged + "[broken\n";
    Write(IniPath(), second);
    {
        ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
        EXPECT_TRUE(handler.saveSettings(handler.CreateConfig(QStringLiteral("Tandril"))));
    }
    EXPECT_EQ(Read(copyPath), damaged);
    EXPECT_EQ(Read(copyPath + QStringLiteral(".2")), second);
}

TEST_F(ConfigHandlerTest, UnreadableFileIsNotOverwrittenWithoutACopy)
{
    // A folder in the file's place can neither be read nor copied.
    ASSERT_TRUE(QDir().mkpath(IniPath()));
    ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
    const auto config = handler.CreateConfig(QStringLiteral("Tandril"));
    gRecords.clear();
    EXPECT_FALSE(handler.saveSettings(config));
    EXPECT_TRUE(Logged(2, "Settings file " + IniPath().toStdString() +
                              " could not be read cleanly and no copy of it could be kept; it is left unchanged."));
    EXPECT_TRUE(QFileInfo(IniPath()).isDir());
    QDir(IniPath()).removeRecursively();
}

TEST_F(ConfigHandlerTest, FailedWriteIsReported)
{
    // The configuration folder cannot be made: a file holds its name.
    QDir(QString::fromStdString(mTemp.File("JOX"))).removeRecursively();
    Write(QString::fromStdString(mTemp.File("JOX")), "not a folder");
    ConfigHandlerWsddConfig handler(IniPath(), 1, 0);
    const auto config = handler.CreateConfig(QStringLiteral("Tandril"));
    EXPECT_FALSE(handler.saveSettings(config));
    EXPECT_TRUE(Logged(2, "Could not write settings file " + IniPath().toStdString() + "."));
    EXPECT_FALSE(handler.saveSettings(nullptr));
}

} // namespace
