#include <logfile/LogRecord.h>

#include "ScopedEnv.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <cstdlib>

namespace {

std::string Format(int level, int subtype, const char* category, const char* message,
                   const char* file, int line, const char* function)
{
    std::ostringstream stream;
    FormatLogRecord(stream, level, subtype, category, message, file, line, function);
    return stream.str();
}

TEST(LogRecordTest, LevelNames)
{
    const char* const names[] = {"Fatal error", "Error",   "Warning", "Important",
                                 "Notice",      "Info",    "Verbose", "Debug"};
    for (int level = 0; level < 8; ++level)
        EXPECT_EQ(LogLevelName(level), QLatin1String(names[level]));
    EXPECT_EQ(LogLevelName(8), QStringLiteral("Unknown"));
    EXPECT_EQ(LogLevelName(-1), QStringLiteral("Unknown"));
}

TEST(LogRecordTest, Formats)
{
    struct Case
    {
        int level, subtype;
        const char *category, *message, *file;
        int line;
        const char* function;
        std::string text;
    } cases[] = {
        {1, 0, "WSDDClient", "x", "a.cpp", 12, "f", "Error (0): WSDDClient - x [a.cpp (line 12), f]"},
        {0, -3, nullptr, "m", nullptr, 1, nullptr, "Fatal error (-3): m"},
        {2, 0, "Config", "m", "b.cpp", 5, "g", "Warning: Config - m [b.cpp (line 5), g]"},
        {5, 10054, "gSOAP-send", "m", "c.cpp", -1, "h", "Info (10054): gSOAP-send - m [c.cpp, h]"},
        {7, -1, "c", nullptr, "d.cpp", 3, nullptr, "Debug: c -  [d.cpp (line 3)]"},
        {9, 0, nullptr, nullptr, nullptr, 0, nullptr, "Unknown: "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Format(c.level, c.subtype, c.category, c.message, c.file, c.line, c.function), c.text);
}

TEST(LogPathTest, CreatesTheLogFolder)
{
    tandriltest::TempDir temp;
    tandriltest::ScopedEnv env("PROGRAMDATA", temp.Path().c_str());
    const QString common = QString::fromStdString(temp.Path()) + QLatin1Char('/');
    EXPECT_EQ(GetLogPath(), common + QStringLiteral("JOX/Tandril/log/tandril"));
    EXPECT_TRUE(QDir(common + QStringLiteral("JOX/Tandril/log")).exists());
}

TEST(LogPathTest, UncreatableFolderGivesEmptyPath)
{
    tandriltest::TempDir temp;
    tandriltest::ScopedEnv env("PROGRAMDATA", temp.Path().c_str());
    const QString common = QString::fromStdString(temp.Path()) + QLatin1Char('/');
    QDir().mkpath(common + QStringLiteral("JOX"));
    QFile blocker(common + QStringLiteral("JOX/Tandril"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder belongs
    blocker.close();
    EXPECT_TRUE(GetLogPath().isEmpty());
}

} // namespace
