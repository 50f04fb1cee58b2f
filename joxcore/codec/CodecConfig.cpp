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

// True when an XML reader would not return the value as written: characters
// XML 1.0 cannot carry, a carriage return (normalised to a line feed), or
// white space only (dropped as an ignorable text node).
bool NeedsEncoding(const QString& rValue)
{
    bool onlySpace = !rValue.isEmpty();
    for (QChar c : rValue) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n') || u == 0xFFFE || u == 0xFFFF)
            return true;
        if (u != ' ' && u != '\t' && u != '\n')
            onlySpace = false;
    }
    return onlySpace;
}

void AppendValues(QDomDocument& rDocument, QDomElement& rParent, const CodecConfig::ValueMap& rValues)
{
    for (auto it = rValues.cbegin(); it != rValues.cend(); ++it) {
        QDomElement element = rDocument.createElement(QString::fromLatin1(it.key()));
        if (NeedsEncoding(it.value())) {
            element.setAttribute(QString::fromLatin1(mpEncodingAttribute), QString::fromLatin1(mpPercentEncoding));
            element.appendChild(rDocument.createTextNode(QString::fromLatin1(it.value().toUtf8().toPercentEncoding())));
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
        return QString::fromUtf8(QByteArray::fromPercentEncoding(text.toUtf8()));
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
