#include <joxconfig/ConfigWsddClientEntry.h>

#include <QDomDocument>
#include <QDomElement>
#include <QSettings>
#include <QStringList>

namespace JoxConfig {

namespace {
const QString mpChannel = QStringLiteral("CHANNEL");
const QString mpMachine = QStringLiteral("MACHINE");
const QString mpAll = QStringLiteral("ALL");
} // namespace

ConfigWsddClientEntry::ConfigWsddClientEntry()
    : mIp(QStringLiteral("127.0.0.1"))
    , mPort(-1)
    , mType(mpAll)
{
}

ConfigWsddClientEntry::ConfigWsddClientEntry(const QString& rIp, int port, const QString& rType,
                                             const QString& rQuorelIp)
    : mIp(rIp)
    , mPort(rType == mpChannel ? port : -1)
    , mType(rType)
    , mQuorelIp(rQuorelIp)
{
}

ConfigWsddClientEntry::ConfigWsddClientEntry(const QString& rUrl, const QString& rType,
                                             const QString& rQuorelIp)
    : mPort(-1)
    , mType(rType)
    , mQuorelIp(rQuorelIp)
{
    QString address = rUrl;
    address.remove(QStringLiteral("http://"));
    const QStringList parts = address.split(QLatin1Char(':'));
    mIp = parts.value(0);
    if (parts.size() == 2)
        mPort = parts.at(1).toInt(); // 0 when it is no number
}

QString ConfigWsddClientEntry::GetUrl() const
{
    const QString port = mType == mpMachine ? QStringLiteral("*") : QString::number(mPort);
    return QStringLiteral("http://") + mIp + QLatin1Char(':') + port;
}

void ConfigWsddClientEntry::ReadFromSettings(QSettings& rSettings)
{
    mIp = rSettings.value(QStringLiteral("IP"), QString()).toString();
    mPort = rSettings.value(QStringLiteral("Port"), QStringLiteral("-1")).toInt();
    mType = rSettings.value(QStringLiteral("Type"), mpAll).toString();
    mQuorelIp = rSettings.value(QStringLiteral("QuorelIP"), QString()).toString();
}

void ConfigWsddClientEntry::WriteToSettings(QSettings& rSettings) const
{
    rSettings.setValue(QStringLiteral("IP"), mIp);
    if (mType == mpChannel)
        rSettings.setValue(QStringLiteral("Port"), mPort);
    rSettings.setValue(QStringLiteral("Type"), mType);
    if (!mQuorelIp.isEmpty())
        rSettings.setValue(QStringLiteral("QuorelIP"), mQuorelIp);
}

QDomElement ConfigWsddClientEntry::WriteXml(QDomDocument& rDocument) const
{
    QDomElement element = rDocument.createElement(QStringLiteral("entry"));
    element.setAttribute(QStringLiteral("IP"), mIp);
    if (mType == mpChannel)
        element.setAttribute(QStringLiteral("Port"), QString::number(mPort));
    element.setAttribute(QStringLiteral("Type"), mType);
    element.setAttribute(QStringLiteral("QuorelIP"), mQuorelIp);
    return element;
}

void ConfigWsddClientEntry::ReadXml(const QDomElement& rElement)
{
    mIp = rElement.attribute(QStringLiteral("IP"), QString());
    mPort = rElement.attribute(QStringLiteral("Port"), QStringLiteral("-1")).toInt();
    mType = rElement.attribute(QStringLiteral("Type"), mpAll);
    mQuorelIp = rElement.attribute(QStringLiteral("QuorelIP"), QString());
}

} // namespace JoxConfig
