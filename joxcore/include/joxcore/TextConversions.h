#pragma once

#include <QString>
#include <cstdint>
#include <string>

// "%1.%2.%3.%4" of the four bytes, most significant first; 0 gives "n/a".
QString FormatVersion(std::uint32_t version);
// The string's bytes read as UTF-8.
QString StdStringToQString(const std::string& rText);
// QString::fromUtf8 of the text; a null pointer gives a null string.
QString Utf8ToQString(const char* pText);
