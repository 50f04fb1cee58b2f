#pragma once

#include <QString>

#include <string>

namespace joxmaintenance {

// Qt's 8-bit conversions: one byte per character (ISO 8859-1).
inline std::string ToLatin1(const QString& rText)
{
    return rText.toLatin1().toStdString();
}

inline QString FromLatin1(const std::string& rText)
{
    return QString::fromLatin1(rText.data(), static_cast<int>(rText.size()));
}

} // namespace joxmaintenance
