#pragma once

#include <QString>

class QDomDocument;
class QDomNode;
class QSettings;

namespace JoxConfig {

// A configuration object that stores itself in an INI file and as XML.
class ConfigBase
{
public:
    ConfigBase();
    virtual ~ConfigBase();

    // Reads the object's own group from the settings.
    virtual void ReadFromSettings(QSettings& rSettings) = 0;
    // Replaces the object's own group in the settings.
    virtual void WriteToSettings(QSettings& rSettings) = 0;
    virtual void WriteXml(QDomDocument& rDocument) = 0;
    // False, with nothing changed, when the node holds no data of this object.
    virtual bool ReadXml(const QDomNode& rNode) = 0;
    // The kind of configuration, such as "wsddclient".
    virtual QString GetCategoryType() const = 0;
    // A copy owned by the caller.
    virtual ConfigBase* Clone() const = 0;
    // A new empty object of the same class, owned by the caller.
    virtual ConfigBase* CreateEmpty() const = 0;

    void SetType(int type);
    int GetType() const;

private:
    int mType;
};

} // namespace JoxConfig
