#pragma once

#include <QMutex>
#include <QString>
#include <boost/shared_ptr.hpp>

namespace JoxConfig {

class ConfigBase;
class ConfigWsddClient;

// Opens a versioned INI configuration file and loads and saves configuration
// objects inside its version group, one operation at a time.
class ConfigHandlerBase
{
public:
    explicit ConfigHandlerBase(int type);
    virtual ~ConfigHandlerBase();
    ConfigHandlerBase(const ConfigHandlerBase&) = delete;
    ConfigHandlerBase& operator=(const ConfigHandlerBase&) = delete;

    // Brings the file up to the handler's version; nothing in the base.
    virtual void convertConfigFileToVersion();

    // The largest top-level group name that is a number; -1 when none is.
    double GetConfigVersionFromFile();
    // Lets the object read itself from the version group; a missing file
    // leaves its defaults, a damaged one gives what can still be read.
    void loadSettings(const boost::shared_ptr<ConfigBase>& rConfig);
    // Lets the object replace its group inside the version group. A file
    // that does not read cleanly is first copied to "<path>.damaged" (or
    // ".damaged.N"); without such a copy it is not touched. False when
    // nothing or not everything was written.
    bool saveSettings(const boost::shared_ptr<ConfigBase>& rConfig);
    // A new discovery filter configuration with the suffix, loaded from the file.
    boost::shared_ptr<ConfigWsddClient> CreateConfig(const QString& rGroupSuffix);

    const QString& GetFilePath() const { return mFilePath; }
    const QString& GetVersionGroup() const { return mVersionGroup; }

protected:
    QString mFilePath;
    QString mVersionGroup;
    int mType;
    QMutex mMutex;
};

} // namespace JoxConfig
