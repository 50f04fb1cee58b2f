#include <joxcore/CodecConfigMOV.h>
#include <joxcore/CodecConfigMPEG2.h>

#include "LogCapture.h"

#include <QDomDocument>
#include <QDomElement>

#include <gtest/gtest.h>

namespace {

using namespace JoxCore;

// Writes rConfig below a root element "codec" and returns the text.
QString WriteDocument(const CodecConfig& rConfig)
{
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("codec"));
    document.appendChild(root);
    rConfig.WriteXml(root);
    return document.toString();
}

// Parses rText and reads the root element into rConfig; false when the text
// is not well-formed.
bool ReadDocument(const QString& rText, CodecConfig& rConfig, const CodecConfig* pDefaults = nullptr)
{
    QDomDocument document;
    if (!document.setContent(rText))
        return false;
    rConfig.ReadXml(document.documentElement(), pDefaults);
    return true;
}

QStringList ChildTags(const QDomNode& rNode)
{
    QStringList tags;
    for (QDomNode child = rNode.firstChild(); !child.isNull(); child = child.nextSibling())
        tags << child.toElement().tagName();
    return tags;
}

TEST(CodecConfigTest, EmptyConfigurationWritesThreeEmptyContainersAfterExistingChildren)
{
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("codec"));
    document.appendChild(root);
    root.appendChild(document.createElement(QStringLiteral("kept")));

    CodecConfigMOV().WriteXml(root);
    EXPECT_EQ(ChildTags(root), (QStringList{"kept", "effects", "options", "additionals"}));
    for (QDomNode child = root.firstChild(); !child.isNull(); child = child.nextSibling())
        EXPECT_FALSE(child.hasChildNodes()) << child.toElement().tagName().toStdString();

    // A null parent, or one without a document, gets nothing and does not fail.
    CodecConfigMOV().WriteXml(QDomNode());
    QDomElement orphan;
    CodecConfigMOV().WriteXml(orphan);

    // Nor does the document node itself: three top-level elements would not
    // make a document, and the one it had stays readable. That one is a
    // caller's mistake, and the log says so.
    CodecConfigMOV filled;
    filled.SetOption("a", QStringLiteral("1"));
    QDomDocument empty;
    LogCapture log("CodecConfig");
    filled.WriteXml(empty);
    EXPECT_FALSE(empty.hasChildNodes()) << empty.toString().toStdString();
    filled.WriteXml(document);
    EXPECT_EQ(ChildTags(document), QStringList{"codec"});
    QDomDocument reread;
    EXPECT_TRUE(reread.setContent(document.toString()));
    // (A default-constructed document is a null node, which is not logged.)
    EXPECT_EQ(log.Messages(),
              std::vector<std::string>{"parent.isDocument(): write into an element of the document"});
}

TEST(CodecConfigTest, WritesInByteOrderAndReadsBackEqual)
{
    CodecConfigMOV config;
    for (const char* pKey : {"b", "a", "ab", "B", "_x", "\xE9t\xE9"})
        ASSERT_TRUE(config.SetOption(pKey, QString::fromLatin1(pKey).toUpper()));
    config.SetEffectParameter("zoom", "level", QStringLiteral("2"));
    config.SetEffectParameter("blur", "radius", QStringLiteral("1.5"));
    config.SetEffectParameter("blur", "mode", QStringLiteral("fast"));
    config.SetAdditional("frame_rate", QStringLiteral("25"));

    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("codec"));
    document.appendChild(root);
    config.WriteXml(root);
    EXPECT_EQ(ChildTags(root.firstChildElement(QStringLiteral("options"))),
              (QStringList{"B", "_x", "a", "ab", "b", QString::fromLatin1("\xE9t\xE9")}));
    const QDomElement effects = root.firstChildElement(QStringLiteral("effects"));
    EXPECT_EQ(ChildTags(effects), (QStringList{"blur", "zoom"}));
    EXPECT_EQ(ChildTags(effects.firstChildElement(QStringLiteral("blur"))), (QStringList{"mode", "radius"}));

    CodecConfigMOV readBack;
    ASSERT_TRUE(ReadDocument(document.toString(), readBack));
    EXPECT_EQ(readBack, config);
}

TEST(CodecConfigTest, ReadsFlatOptionsAndKeepsDefaultsOfUnmentionedKeys)
{
    const QString text = QStringLiteral(
        "<codec>"
        "<mpegvc_gopn>12</mpegvc_gopn>"
        "<!-- a comment -->loose text"
        "<options><mpegvc_gopm>2</mpegvc_gopm><mpegvc_gopm>1</mpegvc_gopm>"
        "<mpegvc_level>6<![CDATA[0]]><deep>0</deep></mpegvc_level></options>"
        "<effects><fx><p>v</p><q><r>deeper</r></q></fx></effects>"
        "<additionals><note>hi</note></additionals>"
        "</codec>");
    CodecConfigMPEG2 config;
    ASSERT_TRUE(ReadDocument(text, config));
    EXPECT_EQ(config.GetOption("mpegvc_gopn"), QStringLiteral("12"));
    EXPECT_EQ(config.GetOption("mpegvc_gopm"), QStringLiteral("1")); // the later one wins
    EXPECT_EQ(config.GetOption("mpegvc_level"), QStringLiteral("600")); // the element's whole text
    EXPECT_EQ(config.GetEffectParameter("fx", "p"), QStringLiteral("v"));
    EXPECT_EQ(config.GetEffectParameter("fx", "q"), QStringLiteral("deeper"));
    EXPECT_FALSE(config.Effects().value("fx").contains("r"));
    EXPECT_EQ(config.GetAdditional("note"), QStringLiteral("hi"));
    // Keys the document does not mention keep their factory defaults.
    EXPECT_EQ(config.GetOption("mpegvc_maxbitrate"), QStringLiteral("18000000"));
    EXPECT_FALSE(config.GetAdditional("jox_preset_uuid").isEmpty());
}

TEST(CodecConfigTest, ReadingStartsFromDefaultsOrTheGivenSource)
{
    CodecConfigMPEG2 changed;
    changed.SetOption("mpegvc_gopn", QStringLiteral("7"));
    changed.SetOption("extra", QStringLiteral("x"));

    CodecConfigMPEG2 config = changed;
    config.ReadXml(QDomNode(), nullptr);
    EXPECT_EQ(config, CodecConfigMPEG2());

    CodecConfigMPEG2 fromSource;
    ASSERT_TRUE(ReadDocument(QStringLiteral("<codec><options><other>1</other></options></codec>"), fromSource,
                             &changed));
    EXPECT_EQ(fromSource.GetOption("mpegvc_gopn"), QStringLiteral("7"));
    EXPECT_EQ(fromSource.GetOption("extra"), QStringLiteral("x"));
    EXPECT_EQ(fromSource.GetOption("other"), QStringLiteral("1"));

    // A source of another kind gives the factory defaults.
    CodecConfigMOV mov;
    mov.SetOption("mpegvc_gopn", QStringLiteral("3"));
    CodecConfigMPEG2 fromOtherKind = changed;
    fromOtherKind.ReadXml(QDomNode(), &mov);
    EXPECT_EQ(fromOtherKind, CodecConfigMPEG2());
}

TEST(CodecConfigTest, AccessorsEqualityAndCopies)
{
    CodecConfigMOV config;
    EXPECT_TRUE(config.GetOption("absent").isNull());
    EXPECT_TRUE(config.GetEffectParameter("never", "set").isNull());
    config.SetEffectParameter("fx", "a", QStringLiteral("1"));
    EXPECT_EQ(config.Effects().value("fx").size(), 1);
    EXPECT_TRUE(config.GetEffectParameter("fx", "b").isNull());
    config.SetEffectParameter("fx", "b", QStringLiteral("2"));
    EXPECT_EQ(config.GetEffectParameter("fx", "a"), QStringLiteral("1"));
    config.SetOption("o", QStringLiteral("1"));
    config.SetAdditional("x", QStringLiteral("1"));
    config.RemoveOption("o");
    config.RemoveOption("o");
    EXPECT_TRUE(config.GetOption("o").isNull());

    const CodecConfigMOV copy = config;
    CodecConfigMOV changed = config;
    changed.SetAdditional("x", QStringLiteral("2"));
    EXPECT_EQ(copy, config);
    EXPECT_NE(changed, config);
    EXPECT_EQ(copy.GetAdditional("x"), QStringLiteral("1")); // the copy is detached

    CodecConfigMOV otherEffect = config;
    otherEffect.SetEffectParameter("fx", "a", QStringLiteral("9"));
    EXPECT_NE(otherEffect, config);
    CodecConfigMOV otherOption = config;
    otherOption.SetOption("o", QString());
    EXPECT_NE(otherOption, config);

    CodecConfigMOV& rSelf = changed;
    changed = rSelf;
    EXPECT_EQ(changed.GetAdditional("x"), QStringLiteral("2"));

    changed.Clear();
    EXPECT_TRUE(changed.Options().isEmpty() && changed.Effects().isEmpty() && changed.Additionals().isEmpty());
}

// Keys become element tags: a key that is no XML name would make the stored
// document unreadable, so the setters refuse it.
TEST(CodecConfigTest, KeysThatAreNoXmlNamesAreRefused)
{
    const QByteArray refused[] = {"", "1st", "-x", ".x", "a b", "a<b", "a&b", "ns:key", "a\x01", "\xD7x", "x\xF7",
                                  QByteArray("a\0b", 3)};
    const QByteArray accepted[] = {"a", "_a", "a-b.c9", "\xE9t\xE9", "x\xB7y", "\xC0"};

    CodecConfigMOV config;
    for (const QByteArray& rKey : refused) {
        EXPECT_FALSE(config.SetOption(rKey, QStringLiteral("v"))) << rKey.toHex().constData();
        EXPECT_FALSE(config.SetAdditional(rKey, QStringLiteral("v"))) << rKey.toHex().constData();
        EXPECT_FALSE(config.SetEffectParameter(rKey, "p", QStringLiteral("v"))) << rKey.toHex().constData();
        EXPECT_FALSE(config.SetEffectParameter("fx", rKey, QStringLiteral("v"))) << rKey.toHex().constData();
    }
    EXPECT_TRUE(config.Options().isEmpty() && config.Effects().isEmpty() && config.Additionals().isEmpty());

    for (const QByteArray& rKey : accepted) {
        EXPECT_TRUE(config.SetOption(rKey, QStringLiteral("o"))) << rKey.toHex().constData();
        EXPECT_TRUE(config.SetAdditional(rKey, QStringLiteral("a"))) << rKey.toHex().constData();
        EXPECT_TRUE(config.SetEffectParameter(rKey, rKey, QStringLiteral("e"))) << rKey.toHex().constData();
    }
    CodecConfigMOV readBack;
    ASSERT_TRUE(ReadDocument(WriteDocument(config), readBack));
    EXPECT_EQ(readBack, config);
}

TEST(CodecConfigTest, ReadingSkipsOnlyTagsThatCannotBeKeys)
{
    // A tag outside Latin-1 cannot become an 8-bit key; everything else is read.
    CodecConfigMOV config;
    ASSERT_TRUE(ReadDocument(QString::fromUtf8("<codec><options><a>1</a><\xD0\xBA\xD0\xBB>2</\xD0\xBA\xD0\xBB>"
                                               "<b>3</b></options><c>4</c></codec>"),
                             config));
    EXPECT_EQ(config.Options().keys(), (QList<QByteArray>{"a", "b", "c"}));
}

// Values an XML reader would not hand back as written.
TEST(CodecConfigTest, ValuesWithControlCharactersSurrogatesOrOnlyWhiteSpaceSurvive)
{
    const QString values[] = {QStringLiteral("\x01"),       QStringLiteral("a\x1f" "b"), QStringLiteral("line\r\nnext"),
                              QStringLiteral("   "),        QStringLiteral("\t"),        QStringLiteral("\n"),
                              QStringLiteral(" padded  "),  QString(),                   QStringLiteral("%41 stays"),
                              QStringLiteral("<&>]]>\"'"), QString::fromUtf8("\xC3\xBC\xE2\x82\xAC \xF0\x9F\x98\x80"),
                              QString(QChar(0xFFFE)),
                              // Surrogates without their partner, alone, at either end and
                              // in the wrong order, next to a proper pair.
                              QString(QChar(0xD800)), QString(QChar(0xDFFF)),
                              QStringLiteral("a") + QChar(0xDBFF), QChar(0xDC00) + QStringLiteral("z"),
                              QString(QChar(0xDC00)) + QChar(0xD800) + QString::fromUtf8("\xF0\x9F\x98\x80")};
    CodecConfigMOV config;
    int i = 0;
    for (const QString& rValue : values) {
        const QByteArray key = "k" + QByteArray::number(i++);
        config.SetOption(key, rValue);
        config.SetAdditional(key, rValue);
        config.SetEffectParameter("fx", key, rValue);
    }
    const QString text = WriteDocument(config);
    CodecConfigMOV readBack;
    ASSERT_TRUE(ReadDocument(text, readBack)) << text.toStdString();
    for (auto it = config.Options().cbegin(); it != config.Options().cend(); ++it) {
        EXPECT_EQ(readBack.GetOption(it.key()), it.value()) << it.key().constData();
        EXPECT_EQ(readBack.GetAdditional(it.key()), it.value()) << it.key().constData();
        EXPECT_EQ(readBack.GetEffectParameter("fx", it.key()), it.value()) << it.key().constData();
    }
    // Plain values are stored as they stand.
    EXPECT_TRUE(text.contains(QStringLiteral("<k6> padded  </k6>"))) << text.toStdString();
    // A lone surrogate takes the three bytes of its code.
    EXPECT_TRUE(text.contains(QStringLiteral("<k12 encoding=\"percent\">%ED%A0%80</k12>"))) << text.toStdString();
}

// What a percent-encoded value holds is UTF-8 with lone surrogates in their
// three-byte form; other bytes that are not UTF-8 read as replacement
// characters, as before.
TEST(CodecConfigTest, PercentEncodedValuesAreRead)
{
    struct Case
    {
        const char* pEncoded;
        QString value;
    };
    const QChar replacement = QChar::ReplacementCharacter;
    const Case cases[] = {
        {"%E2%82%AC", QString::fromUtf8("\xE2\x82\xAC")},
        {"a%ED%B0%80b", QStringLiteral("a") + QChar(0xDC00) + QStringLiteral("b")},
        {"%ED%A0%BD%ED%B8%80", QString::fromUtf8("\xF0\x9F\x98\x80")}, // a pair written as two halves
        {"%ED%9F%BF", QString(QChar(0xD7FF))},
        {"%ED%A0", QString(2, replacement)},
        {"%ED", QString(replacement)},
        {"%FF%ED%A0%80", QString(replacement) + QChar(0xD800)},
    };
    for (const Case& rCase : cases) {
        CodecConfigMOV config;
        ASSERT_TRUE(ReadDocument(QStringLiteral("<codec><v encoding=\"percent\">%1</v></codec>")
                                     .arg(QLatin1String(rCase.pEncoded)),
                                 config));
        EXPECT_EQ(config.GetOption("v"), rCase.value) << rCase.pEncoded;
    }
}

} // namespace
