#include <joxcore/CodecConfig.h>

#include <joxlog/JoxLog.h>

#include <QDomDocument>
#include <QDomElement>
#include <QDomNode>

namespace JoxCore {

namespace {

const char* const mpEncodingAttribute = "encoding";
const char* const mpPercentEncoding = "percent";

bool IsNameStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0xC0 && c <= 0xD6)
        || (c >= 0xD8 && c <= 0xF6) || c >= 0xF8;
}

bool IsNameChar(unsigned char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xB7;
}

bool CheckKey(const QByteArray& rKey)
{
    if (CodecConfig::IsValidKey(rKey))
        return true;
    JoxCore::Log(2, 0, "CodecConfig", "!CodecConfig::IsValidKey(rKey)", __FILE__, __LINE__, __func__);
    return false;
}

// Stores rValue under rKey; false (nothing stored) when the key is not usable.
bool InsertChecked(CodecConfig::ValueMap& rValues, const QByteArray& rKey, const QString& rValue)
{
    if (!CheckKey(rKey))
        return false;
    rValues.insert(rKey, rValue);
    return true;
}

// True when rValue holds a surrogate without its partner at index i.
bool IsLoneSurrogate(const QString& rValue, qsizetype i)
{
    const QChar c = rValue.at(i);
    if (c.isHighSurrogate())
        return i + 1 >= rValue.size() || !rValue.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !rValue.at(i - 1).isHighSurrogate();
    return false;
}

// True when an XML reader would not return the value as written: characters
// XML 1.0 cannot carry (a surrogate without its partner among them), a
// carriage return (normalised to a line feed), or white space only (dropped
// as an ignorable text node).
bool NeedsEncoding(const QString& rValue)
{
    bool onlySpace = !rValue.isEmpty();
    for (qsizetype i = 0; i < rValue.size(); ++i) {
        const char16_t u = rValue.at(i).unicode();
        if ((u < 0x20 && u != '\t' && u != '\n') || u == 0xFFFE || u == 0xFFFF || IsLoneSurrogate(rValue, i))
            return true;
        if (u != ' ' && u != '\t' && u != '\n')
            onlySpace = false;
    }
    return onlySpace;
}

// UTF-8, except that a surrogate without its partner is written as the three
// bytes its code would take (ED A0 80 to ED BF BF, which UTF-8 proper never
// holds), so that it can be read back.
QByteArray EncodeUtf8(const QString& rValue)
{
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < rValue.size(); ++i) {
        if (!IsLoneSurrogate(rValue, i))
            continue;
        const char16_t u = rValue.at(i).unicode();
        bytes += QStringView(rValue).mid(start, i - start).toUtf8();
        bytes += static_cast<char>(0xE0 | (u >> 12));
        bytes += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (u & 0x3F));
        start = i + 1;
    }
    bytes += QStringView(rValue).mid(start).toUtf8();
    return bytes;
}

// The reverse of EncodeUtf8: UTF-8 with the three-byte form of lone surrogates.
QString DecodeUtf8(const QByteArray& rBytes)
{
    QString text;
    qsizetype start = 0;
    for (qsizetype i = 0; i + 2 < rBytes.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(rBytes.at(i));
        const auto b1 = static_cast<unsigned char>(rBytes.at(i + 1));
        const auto b2 = static_cast<unsigned char>(rBytes.at(i + 2));
        if (b0 != 0xED || b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80)
            continue;
        text += QString::fromUtf8(rBytes.mid(start, i - start));
        text += QChar(static_cast<char16_t>(0xD000 | ((b1 & 0x3F) << 6) | (b2 & 0x3F)));
        i += 2;
        start = i + 1;
    }
    text += QString::fromUtf8(rBytes.mid(start));
    return text;
}

void AppendValues(QDomDocument& rDocument, QDomElement& rParent, const CodecConfig::ValueMap& rValues)
{
    for (auto it = rValues.cbegin(); it != rValues.cend(); ++it) {
        QDomElement element = rDocument.createElement(QString::fromLatin1(it.key()));
        if (NeedsEncoding(it.value())) {
            element.setAttribute(QString::fromLatin1(mpEncodingAttribute), QString::fromLatin1(mpPercentEncoding));
            element.appendChild(rDocument.createTextNode(QString::fromLatin1(EncodeUtf8(it.value()).toPercentEncoding())));
        } else {
            element.appendChild(rDocument.createTextNode(it.value()));
        }
        rParent.appendChild(element);
    }
}

QByteArray KeyOf(const QDomElement& rElement)
{
    return rElement.tagName().toLatin1();
}

QString TextOf(const QDomElement& rElement)
{
    const QString text = rElement.text();
    if (rElement.attribute(QString::fromLatin1(mpEncodingAttribute)) == QLatin1String(mpPercentEncoding))
        return DecodeUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
    return text;
}

template <typename Store>
void ForEachChildElement(const QDomNode& rNode, Store store)
{
    for (QDomNode child = rNode.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isElement())
            store(child.toElement());
    }
}

} // namespace

CodecConfig::CodecConfig() = default;
CodecConfig::CodecConfig(const CodecConfig& rOther) = default;
CodecConfig& CodecConfig::operator=(const CodecConfig& rOther) = default;
CodecConfig::~CodecConfig() = default;

bool CodecConfig::IsValidKey(const QByteArray& rKey)
{
    if (rKey.isEmpty() || !IsNameStart(static_cast<unsigned char>(rKey.front())))
        return false;
    for (char c : rKey) {
        if (!IsNameChar(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

void CodecConfig::WriteXml(QDomNode parent) const
{
    if (parent.isNull())
        return;
    // A document node is its own owner document, but three elements at its
    // top level would not make a document that can be read again.
    if (parent.isDocument()) {
        JoxCore::Log(2, 0, "CodecConfig", "parent.isDocument(): write into an element of the document", __FILE__,
                     __LINE__, __func__);
        return;
    }
    QDomDocument document = parent.ownerDocument();
    if (document.isNull())
        return;

    QDomElement effects = document.createElement(QStringLiteral("effects"));
    for (auto it = mEffects.cbegin(); it != mEffects.cend(); ++it) {
        QDomElement effect = document.createElement(QString::fromLatin1(it.key()));
        AppendValues(document, effect, it.value());
        effects.appendChild(effect);
    }
    parent.appendChild(effects);

    QDomElement options = document.createElement(QStringLiteral("options"));
    AppendValues(document, options, mOptions);
    parent.appendChild(options);

    QDomElement additionals = document.createElement(QStringLiteral("additionals"));
    AppendValues(document, additionals, mAdditionals);
    parent.appendChild(additionals);
}

void CodecConfig::ReadXml(const QDomNode& rNode, const CodecConfig* pDefaults)
{
    SetDefaults(pDefaults);
    if (rNode.isNull() || rNode.ownerDocument().isNull())
        return;

    ForEachChildElement(rNode, [this](const QDomElement& rElement) {
        const QString tag = rElement.tagName();
        if (tag == QLatin1String("effects")) {
            ForEachChildElement(rElement, [this](const QDomElement& rEffect) {
                const QByteArray effect = KeyOf(rEffect);
                ForEachChildElement(rEffect, [this, &effect](const QDomElement& rParameter) {
                    SetEffectParameter(effect, KeyOf(rParameter), TextOf(rParameter));
                });
            });
        } else if (tag == QLatin1String("options")) {
            ForEachChildElement(rElement, [this](const QDomElement& rOption) {
                SetOption(KeyOf(rOption), TextOf(rOption));
            });
        } else if (tag == QLatin1String("additionals")) {
            ForEachChildElement(rElement, [this](const QDomElement& rAdditional) {
                SetAdditional(KeyOf(rAdditional), TextOf(rAdditional));
            });
        } else {
            SetOption(KeyOf(rElement), TextOf(rElement));
        }
    });
}

QString CodecConfig::GetOption(const QByteArray& rKey) const
{
    return mOptions.value(rKey);
}

bool CodecConfig::SetOption(const QByteArray& rKey, const QString& rValue)
{
    return InsertChecked(mOptions, rKey, rValue);
}

void CodecConfig::RemoveOption(const QByteArray& rKey)
{
    mOptions.remove(rKey);
}

QString CodecConfig::GetAdditional(const QByteArray& rKey) const
{
    return mAdditionals.value(rKey);
}

bool CodecConfig::SetAdditional(const QByteArray& rKey, const QString& rValue)
{
    return InsertChecked(mAdditionals, rKey, rValue);
}

QString CodecConfig::GetEffectParameter(const QByteArray& rEffect, const QByteArray& rParameter) const
{
    return mEffects.value(rEffect).value(rParameter);
}

bool CodecConfig::SetEffectParameter(const QByteArray& rEffect, const QByteArray& rParameter,
                                     const QString& rValue)
{
    if (!CheckKey(rEffect) || !CheckKey(rParameter))
        return false;
    ValueMap parameters = mEffects.value(rEffect);
    parameters.insert(rParameter, rValue);
    mEffects.insert(rEffect, parameters);
    return true;
}

void CodecConfig::Clear()
{
    mOptions.clear();
    mEffects.clear();
    mAdditionals.clear();
}

bool CodecConfig::operator==(const CodecConfig& rOther) const
{
    return mOptions == rOther.mOptions && mEffects == rOther.mEffects && mAdditionals == rOther.mAdditionals;
}

int CodecConfig::GetOptionInt(const QByteArray& rKey, int absentValue) const
{
    const auto it = mOptions.constFind(rKey);
    if (it == mOptions.cend())
        return absentValue;
    return it.value().toInt();
}

void CodecConfig::SetOptionInt(const QByteArray& rKey, int value)
{
    SetOption(rKey, QString::number(value));
}

bool CodecConfig::GetOptionBool(const QByteArray& rKey) const
{
    return GetOptionInt(rKey) != 0;
}

void CodecConfig::SetOptionBool(const QByteArray& rKey, bool value)
{
    SetOption(rKey, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace JoxCore
