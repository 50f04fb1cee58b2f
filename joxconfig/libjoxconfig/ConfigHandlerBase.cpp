#include <joxconfig/ConfigHandlerBase.h>

#include <joxconfig/ConfigWsddClient.h>

#include "ConfigLog.h"

#include <QFileInfo>
#include <QSettings>
#include <boost/make_shared.hpp>

namespace JoxConfig {

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
    QSettings settings(mFilePath, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        // A damaged file must not fill the object with fragments.
        JOXCONFIG_LOG(2,
                      QStringLiteral("Could not read settings file %1. Prepare for standard Config object Type: %2")
                          .arg(mFilePath, rConfig->GetCategoryType()),
                      "JoxConfig::ConfigHandlerBase::loadSettings");
        return;
    }
    settings.beginGroup(mVersionGroup);
    rConfig->ReadFromSettings(settings);
    settings.endGroup();
}

void ConfigHandlerBase::saveSettings(const boost::shared_ptr<ConfigBase>& rConfig)
{
    if (!rConfig)
        return;
    QMutexLocker<QMutex> lock(&mMutex);
    QSettings settings(mFilePath, QSettings::IniFormat);
    settings.beginGroup(mVersionGroup);
    rConfig->WriteToSettings(settings);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        JOXCONFIG_LOG(2, QStringLiteral("Could not write settings file %1.").arg(mFilePath),
                      "JoxConfig::ConfigHandlerBase::saveSettings");
}

boost::shared_ptr<ConfigWsddClient> ConfigHandlerBase::CreateConfig(const QString& rGroupSuffix)
{
    auto config = boost::make_shared<ConfigWsddClient>(rGroupSuffix);
    config->SetType(mType);
    loadSettings(config);
    return config;
}

} // namespace JoxConfig
