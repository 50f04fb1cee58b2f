#include <joxconfig/ConfigHandlerBase.h>

#include <joxconfig/ConfigWsddClient.h>

#include "ConfigLog.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>
#include <boost/make_shared.hpp>

namespace JoxConfig {

namespace {

constexpr const char* mpSaveFunction = "JoxConfig::ConfigHandlerBase::saveSettings";
constexpr int mpMaxDamagedCopies = 100;

// True when the file is missing or every line of it is valid INI text.
// QSettings shares what it read of a path among its objects and reports a
// format error only to the first one, so the check reads a private copy.
bool ReadsCleanly(const QString& rPath)
{
    QFile file(rPath);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    QTemporaryFile copy;
    if (!copy.open() || copy.write(content) != content.size() || !copy.flush())
        return false;
    QSettings settings(copy.fileName(), QSettings::IniFormat);
    settings.allKeys(); // sections are parsed on first use
    return settings.status() == QSettings::NoError;
}

// Copies a damaged file to the first free name of "<path>.damaged",
// "<path>.damaged.2", ...; an existing copy with the same content counts.
// Returns the copy's path, empty when none could be kept.
QString KeepDamagedCopy(const QString& rPath)
{
    QFile file(rPath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray content = file.readAll();
    file.close();
    for (int i = 1; i <= mpMaxDamagedCopies; ++i) {
        QString copyPath = rPath + QStringLiteral(".damaged");
        if (i > 1)
            copyPath += QLatin1Char('.') + QString::number(i);
        QFile copy(copyPath);
        if (copy.exists()) {
            if (copy.open(QIODevice::ReadOnly) && copy.readAll() == content)
                return copyPath;
            continue;
        }
        return QFile::copy(rPath, copyPath) ? copyPath : QString();
    }
    return QString();
}

} // namespace

ConfigHandlerBase::ConfigHandlerBase(int type)
    : mType(type)
{
}

ConfigHandlerBase::~ConfigHandlerBase() = default;

void ConfigHandlerBase::convertConfigFileToVersion()
{
}

double ConfigHandlerBase::GetConfigVersionFromFile()
{
    QSettings settings(mFilePath, QSettings::IniFormat);
    double version = -1;
    int numbers = 0;
    for (const QString& rGroup : settings.childGroups()) {
        bool ok = false;
        const double value = rGroup.toDouble(&ok);
        if (!ok)
            continue;
        ++numbers;
        if (numbers == 1 || value > version)
            version = value;
    }
    if (numbers > 1)
        JOXCONFIG_LOG(2, QStringLiteral("Found more than one pure number group name!"),
                      "JoxConfig::ConfigHandlerBase::GetConfigVersionFromFile");
    return version;
}

void ConfigHandlerBase::loadSettings(const boost::shared_ptr<ConfigBase>& rConfig)
{
    if (!rConfig)
        return;
    QMutexLocker<QMutex> lock(&mMutex);
    if (!QFileInfo::exists(mFilePath))
        JOXCONFIG_LOG(3,
                      QStringLiteral("Load Settings from non existent file %1. Prepare for standard Config object Type: %2")
                          .arg(mFilePath, rConfig->GetCategoryType()),
                      "JoxConfig::ConfigHandlerBase::loadSettings");
    else if (!ReadsCleanly(mFilePath))
        // What QSettings could read is kept; a later save keeps a copy first.
        JOXCONFIG_LOG(2,
                      QStringLiteral("Settings file %1 is damaged; only its readable entries are used. Type: %2")
                          .arg(mFilePath, rConfig->GetCategoryType()),
                      "JoxConfig::ConfigHandlerBase::loadSettings");
    QSettings settings(mFilePath, QSettings::IniFormat);
    settings.beginGroup(mVersionGroup);
    rConfig->ReadFromSettings(settings);
    settings.endGroup();
}

bool ConfigHandlerBase::saveSettings(const boost::shared_ptr<ConfigBase>& rConfig)
{
    if (!rConfig)
        return false;
    QMutexLocker<QMutex> lock(&mMutex);
    if (!ReadsCleanly(mFilePath)) {
        // Writing drops every line QSettings could not read: keep them first.
        const QString copyPath = KeepDamagedCopy(mFilePath);
        if (copyPath.isEmpty()) {
            JOXCONFIG_LOG(2,
                          QStringLiteral("Settings file %1 could not be read cleanly and no copy of it could be "
                                         "kept; it is left unchanged.")
                              .arg(mFilePath),
                          mpSaveFunction);
            return false;
        }
        JOXCONFIG_LOG(2,
                      QStringLiteral("Settings file %1 could not be read cleanly; a copy is kept as %2.")
                          .arg(mFilePath, copyPath),
                      mpSaveFunction);
    }
    QSettings settings(mFilePath, QSettings::IniFormat);
    settings.beginGroup(mVersionGroup);
    rConfig->WriteToSettings(settings);
    settings.endGroup();
    settings.sync();
    // A format error found while reading stays the object's status and would
    // hide a failed write; the file read anew tells whether it was written.
    if (settings.status() == QSettings::AccessError || !ReadsCleanly(mFilePath) ||
        !QFileInfo::exists(mFilePath)) {
        JOXCONFIG_LOG(2, QStringLiteral("Could not write settings file %1.").arg(mFilePath), mpSaveFunction);
        return false;
    }
    return true;
}

boost::shared_ptr<ConfigWsddClient> ConfigHandlerBase::CreateConfig(const QString& rGroupSuffix)
{
    auto config = boost::make_shared<ConfigWsddClient>(rGroupSuffix);
    config->SetType(mType);
    loadSettings(config);
    return config;
}

} // namespace JoxConfig
