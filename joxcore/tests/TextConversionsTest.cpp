// The text conversions shared by the widget libraries and the program.
#include <joxcore/TextConversions.h>

#include <gtest/gtest.h>

namespace {

TEST(TextConversionsTest, FormatVersion)
{
    EXPECT_EQ(FormatVersion(0), QStringLiteral("n/a"));
    EXPECT_EQ(FormatVersion(0x0100010E), QStringLiteral("1.0.1.14"));
    EXPECT_EQ(FormatVersion(0x0A000001), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(FormatVersion(0xFFFFFFFF), QStringLiteral("255.255.255.255"));
}

TEST(TextConversionsTest, Utf8)
{
    EXPECT_EQ(StdStringToQString(std::string("a\0b\xe2\x82\xac", 6)), QString::fromUtf8("a\0b€", 6));
    EXPECT_TRUE(Utf8ToQString(nullptr).isNull());
    EXPECT_EQ(Utf8ToQString("\xc3\xa9"), QString::fromUtf8("é"));
}

} // namespace
