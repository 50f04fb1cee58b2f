#include <joxcore/TextConversions.h>

QString FormatVersion(std::uint32_t version)
{
    if (version == 0)
        return QStringLiteral("n/a");
    return QStringLiteral("%1.%2.%3.%4")
        .arg((version >> 24) & 0xFF)
        .arg((version >> 16) & 0xFF)
        .arg((version >> 8) & 0xFF)
        .arg(version & 0xFF);
}

QString StdStringToQString(const std::string& rText)
{
    return QString::fromUtf8(rText.data(), static_cast<qsizetype>(rText.size()));
}

QString Utf8ToQString(const char* pText)
{
    return pText ? QString::fromUtf8(pText) : QString();
}
