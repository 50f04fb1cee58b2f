#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace JoxConfig {

// Read access to the discovery filter lists.
class IConfigWsddClient
{
public:
    virtual ~IConfigWsddClient() = default;
    // "address:port" (or "address:*" for machines) of each black-list entry.
    virtual QStringList GetBlacklistUrls() const = 0;
    // "address:port" (or "address:*" for machines) of each white-list entry.
    virtual QStringList GetWhitelistUrls() const = 0;
    // The addresses on which discovery stays silent.
    virtual std::vector<std::string> GetMutedLocalIps() const = 0;
    // "address:port" and type text of each static entry.
    virtual QList<QPair<QString, QString>> GetStaticUrls() const = 0;
};

} // namespace JoxConfig
