#include <joxconfig/ConfigWsddClientEntryList.h>

#include <QDomDocument>
#include <QDomElement>
#include <QSettings>
#include <boost/make_shared.hpp>

namespace JoxConfig {

ConfigWsddClientEntryList::ConfigWsddClientEntryList(const QString& rName)
    : mName(rName)
{
}

void ConfigWsddClientEntryList::Append(const ConfigWsddClientEntryPtr& rEntry)
{
    mEntries.append(rEntry);
}

void ConfigWsddClientEntryList::Clear()
{
    mEntries.clear();
}

void ConfigWsddClientEntryList::ReadFromSettings(QSettings& rSettings)
{
    mEntries.clear();
    // A damaged "size" must not make up millions of entries: read no further
    // than the highest element the file really holds.
    int highest = 0;
    rSettings.beginGroup(mName);
    for (const QString& rGroup : rSettings.childGroups())
        highest = qMax(highest, rGroup.toInt());
    rSettings.endGroup();
    const int count = qMin(rSettings.beginReadArray(mName), highest);
    for (int i = 0; i < count; ++i) {
        rSettings.setArrayIndex(i);
        auto entry = boost::make_shared<ConfigWsddClientEntry>();
        entry->ReadFromSettings(rSettings);
        mEntries.append(entry);
    }
    rSettings.endArray();
}

void ConfigWsddClientEntryList::WriteToSettings(QSettings& rSettings) const
{
    rSettings.beginWriteArray(mName, static_cast<int>(mEntries.size()));
    for (int i = 0; i < mEntries.size(); ++i) {
        rSettings.setArrayIndex(i);
        mEntries.at(i)->WriteToSettings(rSettings);
    }
    rSettings.endArray();
}

void ConfigWsddClientEntryList::WriteXml(QDomDocument& rDocument, QDomElement& rParent) const
{
    QDomElement list = rDocument.createElement(mName);
    for (const ConfigWsddClientEntryPtr& rEntry : mEntries)
        list.appendChild(rEntry->WriteXml(rDocument));
    rParent.appendChild(list);
}

void ConfigWsddClientEntryList::ReadXml(const QDomElement& rParent)
{
    mEntries.clear();
    const QDomElement list = rParent.firstChildElement(mName);
    for (QDomElement element = list.firstChildElement(QStringLiteral("entry")); !element.isNull();
         element = element.nextSiblingElement(QStringLiteral("entry"))) {
        auto entry = boost::make_shared<ConfigWsddClientEntry>();
        entry->ReadXml(element);
        mEntries.append(entry);
    }
}

} // namespace JoxConfig
