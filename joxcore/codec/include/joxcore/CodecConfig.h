#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

class QDomNode;

namespace JoxCore {

// The settings of one media codec: options, effect parameters and
// additionals, each a map from an 8-bit key to a text, with an XML form.
// The maps are implicitly shared, so copies are cheap.
//
// Keys, effect names and parameter names must be XML names without a colon
// (Latin-1 letters, digits, '_', '-', '.'; not starting with a digit, '-' or
// '.'), since they become element tags; the setters refuse any other key.
// Values that an XML reader would not hand back unchanged (control
// characters, a carriage return, white space only, a surrogate without its
// partner) are written percent-encoded as UTF-8 and marked with the attribute
// encoding="percent"; a lone surrogate takes the three bytes of its code.
class CodecConfig
{
public:
    using ValueMap = QMap<QByteArray, QString>;
    using EffectMap = QMap<QByteArray, ValueMap>;

    CodecConfig();
    CodecConfig(const CodecConfig& rOther);
    CodecConfig& operator=(const CodecConfig& rOther);
    virtual ~CodecConfig();

    // Appends the elements "effects", "options" and "additionals" to
    // parent; nothing when parent or its document is null, or when parent is
    // the document itself (logged: it needs an element to hold them).
    virtual void WriteXml(QDomNode parent) const;
    // Starts from SetDefaults (pDefaults), then reads the elements that
    // WriteXml writes, and option elements placed directly under node.
    virtual void ReadXml(const QDomNode& rNode, const CodecConfig* pDefaults);
    // The kind's factory defaults, or a copy of pSource when it is of the
    // same kind.
    virtual void SetDefaults(const CodecConfig* pSource) = 0;

    // A null text when the key is absent.
    QString GetOption(const QByteArray& rKey) const;
    // False (and nothing stored) when the key is not a usable XML name.
    bool SetOption(const QByteArray& rKey, const QString& rValue);
    void RemoveOption(const QByteArray& rKey);

    QString GetAdditional(const QByteArray& rKey) const;
    bool SetAdditional(const QByteArray& rKey, const QString& rValue);

    // A null text when the effect or the parameter is absent.
    QString GetEffectParameter(const QByteArray& rEffect, const QByteArray& rParameter) const;
    // Creates the effect on first use; false when a name is not usable.
    bool SetEffectParameter(const QByteArray& rEffect, const QByteArray& rParameter,
                            const QString& rValue);

    // Empties the options, the effects and the additionals.
    void Clear();

    const ValueMap& Options() const { return mOptions; }
    const EffectMap& Effects() const { return mEffects; }
    const ValueMap& Additionals() const { return mAdditionals; }

    bool operator==(const CodecConfig& rOther) const;
    bool operator!=(const CodecConfig& rOther) const { return !(*this == rOther); }

    // True when rKey can be written as an element tag and read back as itself.
    static bool IsValidKey(const QByteArray& rKey);

protected:
    // The option read as a decimal int; absentValue when the key is absent,
    // 0 when the text is not a number.
    int GetOptionInt(const QByteArray& rKey, int absentValue = 0) const;
    void SetOptionInt(const QByteArray& rKey, int value);
    bool GetOptionBool(const QByteArray& rKey) const;
    void SetOptionBool(const QByteArray& rKey, bool value);

    // Copies *pSource into rTarget when pSource is a Kind; false (rTarget
    // untouched) otherwise. What SetDefaults does first.
    template <typename Kind>
    static bool CopyIfSameKind(Kind& rTarget, const CodecConfig* pSource)
    {
        const auto* pSame = dynamic_cast<const Kind*>(pSource);
        if (pSame)
            rTarget = *pSame;
        return pSame != nullptr;
    }

private:
    EffectMap mEffects;
    ValueMap mOptions;
    ValueMap mAdditionals;
};

} // namespace JoxCore
