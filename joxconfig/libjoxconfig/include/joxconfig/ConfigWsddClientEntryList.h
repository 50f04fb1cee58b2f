#pragma once

#include <joxconfig/ConfigWsddClientEntry.h>

#include <QList>
#include <QString>

class QDomDocument;
class QDomElement;
class QSettings;

namespace JoxConfig {

// A named list of entries: the name is the settings array and XML element.
// Copies share the entry objects.
class ConfigWsddClientEntryList
{
public:
    explicit ConfigWsddClientEntryList(const QString& rName);

    const QString& GetName() const { return mName; }
    const QList<ConfigWsddClientEntryPtr>& GetEntries() const { return mEntries; }
    // Appends the entry, doubles included.
    void Append(const ConfigWsddClientEntryPtr& rEntry);
    void Clear();

    // Replaces the entries with the settings array of the list's name.
    void ReadFromSettings(QSettings& rSettings);
    void WriteToSettings(QSettings& rSettings) const;
    // Appends an element of the list's name with one "entry" per entry.
    void WriteXml(QDomDocument& rDocument, QDomElement& rParent) const;
    // Replaces the entries with those of the first child element of the name.
    void ReadXml(const QDomElement& rParent);

private:
    QList<ConfigWsddClientEntryPtr> mEntries;
    QString mName;
};

} // namespace JoxConfig
