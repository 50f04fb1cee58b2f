#pragma once

#include <QString>
#include <boost/shared_ptr.hpp>

class QDomDocument;
class QDomElement;
class QSettings;

namespace JoxConfig {

// One entry of a discovery filter list: an address, a port (-1 for none), a
// type ("ALL", "CHANNEL" or "MACHINE") and an optional second address.
class ConfigWsddClientEntry
{
public:
    // 127.0.0.1, no port, "ALL", no second address.
    ConfigWsddClientEntry();
    // The port is kept only for the type "CHANNEL".
    ConfigWsddClientEntry(const QString& rIp, int port, const QString& rType, const QString& rQuorelIp);
    // From "[http://]address[:port]": the port is kept whatever the type
    // (0 when it is no number, -1 unless there is exactly one ':').
    ConfigWsddClientEntry(const QString& rUrl, const QString& rType, const QString& rQuorelIp);

    const QString& GetIp() const { return mIp; }
    int GetPort() const { return mPort; }
    const QString& GetType() const { return mType; }
    const QString& GetQuorelIp() const { return mQuorelIp; }

    // "http://address:port", or "http://address:*" for "MACHINE".
    QString GetUrl() const;

    // Keys of the current array element of the settings.
    void ReadFromSettings(QSettings& rSettings);
    void WriteToSettings(QSettings& rSettings) const;
    // An "entry" element with the attributes IP, Port, Type and QuorelIP.
    QDomElement WriteXml(QDomDocument& rDocument) const;
    void ReadXml(const QDomElement& rElement);

private:
    QString mIp;
    int mPort;
    QString mType;
    QString mQuorelIp;
};

using ConfigWsddClientEntryPtr = boost::shared_ptr<ConfigWsddClientEntry>;

} // namespace JoxConfig
