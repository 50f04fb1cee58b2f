#include <docswriter/AcknowledgmentList.h>

#include "TempDir.h"

#include <gtest/gtest.h>

using docswriter::AcknowledgmentList;

namespace {

QString Write(const tandriltest::TempDir& rTemp, const std::string& rText)
{
    const std::string path = rTemp.File("libraries.txt");
    tandriltest::WriteFile(path, rText);
    return QString::fromStdString(path);
}

} // namespace

TEST(AcknowledgmentListTest, ReadsSectionsEntriesAndContinuedFields)
{
    tandriltest::TempDir temp;
    AcknowledgmentList list;
    QString error;
    ASSERT_TRUE(list.Read(Write(temp, "# comment\n\n=== Linked\n== Lib <one> & co\nFiles: liba.so.1  libb.so.2\n"
                                      "Licence: first\n continued\n .\n second \"paragraph\"\n"
                                      "=== In turn\n== Two\nFiles: libc.so.3\n"),
                          error))
        << error.toStdString();
    ASSERT_EQ(list.Sections().size(), 2);
    const AcknowledgmentList::Entry& rEntry = list.Sections().at(0).mEntries.at(0);
    EXPECT_EQ(rEntry.mName, QStringLiteral("Lib <one> & co"));
    ASSERT_EQ(rEntry.mFields.size(), 2);
    EXPECT_EQ(rEntry.mFields.at(1).second, QStringLiteral("first continued\n\nsecond \"paragraph\""));
    EXPECT_EQ(list.Files(), (QStringList{"liba.so.1", "libb.so.2", "libc.so.3"}));

    const QString html = list.ToHtml();
    EXPECT_TRUE(html.contains(QStringLiteral("<h3>Lib &lt;one&gt; &amp; co</h3>")));
    EXPECT_TRUE(html.contains(
        QStringLiteral("<p><b>Licence:</b> first continued</p><p>second &quot;paragraph&quot;</p>")));
    EXPECT_LT(html.indexOf(QStringLiteral("<h2>Linked</h2>")), html.indexOf(QStringLiteral("<h2>In turn</h2>")));

    const QString pdf = QString::fromStdString(temp.File("out.pdf"));
    ASSERT_TRUE(list.WritePdf(pdf));
    EXPECT_EQ(tandriltest::ReadFile(pdf.toStdString()).substr(0, 5), "%PDF-");
    EXPECT_FALSE(list.WritePdf(QString::fromStdString(temp.File("missing/out.pdf"))));
}

TEST(AcknowledgmentListTest, AMalformedLineIsNamed)
{
    const struct
    {
        const char* mText;
        const char* mError;
    } cases[] = {
        {"== Entry first\n", ":1: an entry before any section"},
        {"=== S\nFiles: x\n", ":2: a field outside an entry"},
        {"=== S\n== E\n continued\n", ":3: a continuation without a field"},
        {"=== S\n== E\nno colon here\n", ":3: neither a section, an entry nor a \"Key: value\" field"},
    };
    for (const auto& rCase : cases)
    {
        tandriltest::TempDir temp;
        AcknowledgmentList list;
        QString error;
        const QString path = Write(temp, rCase.mText);
        EXPECT_FALSE(list.Read(path, error)) << rCase.mText;
        EXPECT_EQ(error, path + QString::fromLatin1(rCase.mError)) << rCase.mText;
    }
    AcknowledgmentList list;
    QString error;
    EXPECT_FALSE(list.Read(QStringLiteral("/nonexistent/libraries.txt"), error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("/nonexistent/libraries.txt: "))) << error.toStdString();
}
