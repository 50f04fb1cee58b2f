// A listed name is read by the rule of a stored one: what the list shows is
// the name of the file a download stores, and a name that could pass for
// another is shown so that it cannot.
#include <joxwsstreaming/CollectionName.h>
#include <joxwsstreaming/DownloadTarget.h>

#include <QFile>

#include <gtest/gtest.h>

using joxwsstreaming::CollectionName;
using joxwsstreaming::DownloadTarget;

TEST(CollectionNameTest, AListedNameIsShownAndStoredAsItsBytesRead)
{
    const struct
    {
        const char* mpCase;
        QString mListed;
        QString mShown;
        QString mFile;    // empty: refused
        QString mRefusal; // why
    } cases[] = {
        {"UTF-8", QStringLiteral(u"R\u00E9gie \u2013 \u20AC \U0001F4E6.zip"),
         QStringLiteral(u"R\u00E9gie \u2013 \u20AC \U0001F4E6.zip"), QStringLiteral(u"R\u00E9gie \u2013 \u20AC \U0001F4E6.zip"),
         QString()},
        {"ISO 8859-1", QStringLiteral(u"caf\u00E9.zip"), QStringLiteral(u"caf\u00E9.zip"), QStringLiteral(u"caf\u00E9.zip"),
         QString()},
        // A server that keeps texts as bytes lists each byte as a character.
        {"Windows-1252 bytes as C1 characters", QStringLiteral(u"Log \u0096 1 \u0080.zip"),
         QStringLiteral(u"Log \u2013 1 \u20AC.zip"), QStringLiteral(u"Log \u2013 1 \u20AC.zip"), QString()},
        {"UTF-8 bytes as characters", QStringLiteral(u"caf\u00C3\u00A9.zip"), QStringLiteral(u"caf\u00E9.zip"),
         QStringLiteral(u"caf\u00E9.zip"), QString()},
        {"a folder", QStringLiteral("sub\\../a.zip"), QStringLiteral("sub\\../a.zip"), QStringLiteral("a.zip"), QString()},
        {"blanks around", QStringLiteral(" a.zip "), QStringLiteral(" a.zip "), QStringLiteral(" a.zip "), QString()},
        {"right-to-left override", QStringLiteral(u"coll\u202Epiz.exe"), QStringLiteral("coll<U+202E>piz.exe"), QString(),
         QStringLiteral("holds the invisible format character U+202E")},
        {"zero-width space", QStringLiteral(u"a\u200B.zip"), QStringLiteral("a<U+200B>.zip"), QString(),
         QStringLiteral("holds the invisible format character U+200B")},
        {"a tab", QStringLiteral("tab\t.zip"), QStringLiteral("tab<U+0009>.zip"), QString(),
         QStringLiteral("holds the control character U+0009")},
        {"a byte Windows-1252 leaves undefined", QStringLiteral(u"u \u0081.zip"), QStringLiteral("u <U+0081>.zip"), QString(),
         QStringLiteral("holds the control character U+0081")},
        {"blanks only", QStringLiteral("  "), QStringLiteral("<U+0020><U+0020>"), QString(), QStringLiteral("is blank")},
        {"a no-break space only", QStringLiteral(u"\u00A0"), QStringLiteral("<U+00A0>"), QString(), QStringLiteral("is blank")},
        {"no file", QStringLiteral("sub/"), QStringLiteral("sub/"), QString(), QStringLiteral("names no file")},
        {"a temporary file", QStringLiteral(".c.zip.0123456789abcdef.part"), QStringLiteral(".c.zip.0123456789abcdef.part"),
         QString(), QStringLiteral("has the form of a download's temporary file")},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpCase);
        EXPECT_EQ(rCase.mShown.toStdString(), CollectionName::Shown(rCase.mListed).toStdString());
        QString refusal;
        EXPECT_EQ(rCase.mFile.toStdString(),
                  CollectionName::FileName(CollectionName::ListedBytes(rCase.mListed), &refusal).toStdString());
        EXPECT_EQ(rCase.mRefusal.toStdString(), refusal.toStdString());
        // The name a download of it stores, from the bytes the server holds.
        EXPECT_EQ(QFile::encodeName(rCase.mFile).toStdString(),
                  DownloadTarget::LocalFileName(CollectionName::ListedBytes(rCase.mListed)));
    }
}

// A server that keeps texts as UTF-8 lists characters beyond U+00FF as they
// are; such a name stands for its UTF-8.
TEST(CollectionNameTest, ListedBytesAreTheServersBytes)
{
    EXPECT_EQ("Log \x96 1 \x80.zip", CollectionName::ListedBytes(QStringLiteral(u"Log \u0096 1 \u0080.zip")));
    EXPECT_EQ("caf\xC3\xA9 \xE2\x80\x93.zip", CollectionName::ListedBytes(QStringLiteral(u"caf\u00E9 \u2013.zip")));
    EXPECT_EQ("plain.zip", CollectionName::ListedBytes(QStringLiteral("plain.zip")));
}
