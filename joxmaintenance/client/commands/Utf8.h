#pragma once

#include <QString>

#include <string>

namespace joxmaintenance {

// The service's texts as the SOAP contexts hold them (UTF-8 string mode): a
// QString's characters as UTF-8 bytes, and back.
inline std::string ToUtf8(const QString& rText)
{
    return rText.toUtf8().toStdString();
}

inline QString FromUtf8(const std::string& rText)
{
    return QString::fromUtf8(rText.data(), static_cast<int>(rText.size()));
}

} // namespace joxmaintenance
