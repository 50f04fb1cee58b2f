#include "joxwsstreaming/CollectionName.h"

#include "joxwsstreaming/DownloadTarget.h"

#include <QByteArray>
#include <QFile>
#include <QStringDecoder>

namespace joxwsstreaming {

namespace {

// Windows-1252 text: ISO 8859-1 but for 0x80 to 0x9F, whose five undefined
// bytes stay the C1 control characters of their value.
QString FromWindows1252(const QByteArray& rBytes)
{
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text;
    text.reserve(rBytes.size());
    for (const char byte : rBytes)
    {
        const auto value = static_cast<unsigned char>(byte);
        text.append(value >= 0x80 && value < 0xA0 ? QChar(high[value - 0x80]) : QChar(value));
    }
    return text;
}

bool IsControlOrFormat(char32_t character)
{
    const QChar::Category category = QChar::category(character);
    return category == QChar::Other_Control || category == QChar::Other_Format;
}

// "U+202E"
QString CodePoint(char32_t character)
{
    return QStringLiteral("U+") + QString::number(character, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

bool IsBlank(const QString& rText)
{
    return !rText.isEmpty() && rText.trimmed().isEmpty();
}

} // namespace

QString CollectionName::FromBytes(const std::string& rBytes)
{
    const QByteArray bytes(rBytes.data(), static_cast<qsizetype>(rBytes.size()));
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    return utf8.hasError() ? FromWindows1252(bytes) : text;
}

std::string CollectionName::ListedBytes(const QString& rListed)
{
    for (const QChar character : rListed)
    {
        if (character.unicode() > 0xFF)
            return rListed.toUtf8().toStdString();
    }
    return rListed.toLatin1().toStdString();
}

QString CollectionName::FileName(const std::string& rBytes, QString* pRefusal)
{
    const auto refuse = [pRefusal](const QString& rReason) {
        if (pRefusal)
            *pRefusal = rReason;
        return QString();
    };
    const std::string name = DownloadTarget::SafeFileName(rBytes);
    if (name.empty())
        return refuse(QStringLiteral("names no file"));
    const QString text = FromBytes(name);
    for (const char32_t character : text.toUcs4())
    {
        if (!IsControlOrFormat(character))
            continue;
        const QString reason = QChar::category(character) == QChar::Other_Control
                                   ? QStringLiteral("holds the control character %1")
                                   : QStringLiteral("holds the invisible format character %1");
        return refuse(reason.arg(CodePoint(character)));
    }
    if (IsBlank(text))
        return refuse(QStringLiteral("is blank"));
    if (DownloadTarget::IsTemporaryName(QFile::encodeName(text).toStdString()))
        return refuse(QStringLiteral("has the form of a download's temporary file"));
    return text;
}

QString CollectionName::Readable(const std::string& rBytes)
{
    const QString text = FromBytes(rBytes);
    const bool blank = IsBlank(text);
    QString shown;
    shown.reserve(text.size());
    for (const char32_t character : text.toUcs4())
    {
        if (blank || IsControlOrFormat(character))
            shown += QLatin1Char('<') + CodePoint(character) + QLatin1Char('>');
        else
            shown += QString::fromUcs4(&character, 1);
    }
    return shown;
}

} // namespace joxwsstreaming
