#include <joxconfig/ConfigHandlerWsddConfig.h>

#include <joxconfig/ConfigLocations.h>
#include <joxconfig/ConfigWsddClient.h>

#include "ConfigLog.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTextStream>
#include <QUrl>
#include <boost/make_shared.hpp>

namespace JoxConfig {

namespace {

constexpr const char* mpConvertFunction = "JoxConfig::ConfigHandlerWsddConfig::convertConfigFileToVersion";

bool IsRegularFile(const QString& rPath)
{
    const QFileInfo info(rPath);
    return info.exists() && info.isFile();
}

enum class LegacySection { Static, Whitelist, Blacklist };

// Fills the lists from the legacy text format: one "url [second address]"
// per line, '#' comments, "[static]", "[whitelist]" and "[blacklist]".
void ReadLegacyText(QTextStream& rStream, ConfigWsddClient& rConfig)
{
    LegacySection section = LegacySection::Static;
    while (!rStream.atEnd()) {
        QString line = rStream.readLine();
        const int comment = line.indexOf(QLatin1Char('#'));
        if (comment >= 0)
            line.truncate(comment);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.contains(QLatin1String("[whitelist]"))) {
            section = LegacySection::Whitelist;
        } else if (line.contains(QLatin1String("[blacklist]"))) {
            section = LegacySection::Blacklist;
        } else if (line.contains(QLatin1String("[static]"))) {
            section = LegacySection::Static;
        } else {
            const QStringList parts = line.split(QLatin1Char(' '));
            const QString url = parts.value(0);
            auto entry = boost::make_shared<ConfigWsddClientEntry>(url, QStringLiteral("CHANNEL"), parts.value(1));
            switch (section) {
            case LegacySection::Static:
                if (QUrl(url).isValid())
                    rConfig.AddStaticEntry(entry);
                break;
            case LegacySection::Whitelist:
                rConfig.AddWhitelistEntry(entry);
                break;
            case LegacySection::Blacklist:
                rConfig.AddBlacklistEntry(entry);
                break;
            }
        }
    }
}

} // namespace

ConfigHandlerWsddConfig::ConfigHandlerWsddConfig(const QString& rFilePath, double version, int type)
    : ConfigHandlerBase(type)
{
    mFilePath = rFilePath;
    if (version > -1) {
        mVersionGroup = QString::number(version, 'f', 1);
        convertConfigFileToVersion();
    }
}

void ConfigHandlerWsddConfig::convertConfigFileToVersion()
{
    const QString legacyPath = ConfigFilePath(ConfigFileLegacyServices, ProductNone);
    bool legacy = false;
    if (!IsRegularFile(mFilePath)) {
        if (!IsRegularFile(legacyPath)) {
            JOXCONFIG_LOG(3,
                          QStringLiteral("Could not open config file for conversion: %1 \n Default settings are written.")
                              .arg(mFilePath),
                          mpConvertFunction);
            return;
        }
        JOXCONFIG_LOG(3,
                      QStringLiteral("Found old config but no new one: %1 \n Load defaults from old file.").arg(legacyPath),
                      mpConvertFunction);
        legacy = true;
    }

    QMutexLocker<QMutex> lock(&mMutex);
    if (legacy && !QFile::copy(legacyPath, mFilePath))
        JOXCONFIG_LOG(3,
                      QStringLiteral("Could not copy file: %1 use new file with empty default list.\n").arg(mFilePath),
                      mpConvertFunction);

    QSettings settings(mFilePath, QSettings::IniFormat);
    if (GetConfigVersionFromFile() >= mVersionGroup.toDouble())
        return;

    if (!legacy && !QFile::copy(mFilePath, mFilePath + QStringLiteral(".backup"))) {
        // Without a backup the older file would be lost: leave it as it is.
        JOXCONFIG_LOG(3,
                      QStringLiteral("Could not copy file: %1 use new file with empty default list.\n").arg(mFilePath),
                      mpConvertFunction);
        return;
    }

    auto config = boost::make_shared<ConfigWsddClient>();
    QFile file(mFilePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        JOXCONFIG_LOG(3, QStringLiteral("Could not open the file with the old settings: %1").arg(mFilePath),
                      mpConvertFunction);
        return;
    }
    QTextStream stream(&file);
    ReadLegacyText(stream, *config);
    file.close();

    settings.remove(QString());
    settings.sync();
    lock.unlock();
    saveSettings(config);
}

} // namespace JoxConfig
