#include <logfile/LogFile.h>
#include <logfile/LogRecord.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <atomic>
#include <thread>
#include <vector>
#include <sys/time.h>

namespace {

constexpr qint64 mpRotateSize = 10485760;

QStringList ReadLines(const QString& rPath)
{
    QFile file(rPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

class LogFileTest : public ::testing::Test
{
protected:
    void SetUp() override { LogFile::ResetForTesting(); }
    void TearDown() override { LogFile::ResetForTesting(); }

    QString Folder() const { return QString::fromStdString(mTemp.Path()); }
    QString Base() const { return Folder() + QStringLiteral("/tandril"); }
    bool Start(unsigned level = 5)
    {
        return LogFile::Start(Base(), level, QStringLiteral("Tandril"), QStringLiteral("1.0.1.14"),
                              QStringLiteral("beta"));
    }

    tandriltest::TempDir mTemp;
};

// A record line: time in 26 columns, level and source in 14 each, then text.
void ExpectRecordLine(const QString& rLine, const QString& rLevel, const QString& rSource,
                      const QString& rText)
{
    static const QRegularExpression time(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d  \\d\\d:\\d\\d:\\d\\d-\\d{3}  $"));
    ASSERT_GE(rLine.size(), 54) << rLine.toStdString();
    EXPECT_TRUE(time.match(rLine.left(26)).hasMatch()) << rLine.toStdString();
    EXPECT_EQ(rLine.mid(26, 14), rLevel.leftJustified(14)) << rLine.toStdString();
    EXPECT_EQ(rLine.mid(40, 14), rSource.leftJustified(14)) << rLine.toStdString();
    EXPECT_EQ(rLine.mid(54), rText);
}

TEST_F(LogFileTest, HeaderAndFirstLine)
{
    const QDateTime before = QDateTime::currentDateTime();
    ASSERT_TRUE(Start());
    const QString name = LogFile::CurrentFileName();
    const QString fileName = QFileInfo(name).fileName();
    const QRegularExpression pattern(QStringLiteral("^tandril_(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)_pid%1\\.txt$")
                                         .arg(QCoreApplication::applicationPid()));
    const auto match = pattern.match(fileName);
    ASSERT_TRUE(match.hasMatch()) << fileName.toStdString();
    const QString stamp = match.captured(1);
    EXPECT_LE(qAbs(QDateTime::fromString(stamp, QStringLiteral("yyyy-MM-dd_hh-mm-ss")).secsTo(before)), 2);

    const QStringList lines = ReadLines(name);
    ASSERT_EQ(lines.size(), 9);
    const QString stars(98, QLatin1Char('*'));
    EXPECT_EQ(lines[0], stars);
    EXPECT_EQ(lines[1], QStringLiteral("*"));
    EXPECT_EQ(lines[2], QStringLiteral("*    File:Tandril- LogFile - Kalmbeck JOX GmbH"));
    EXPECT_EQ(lines[3], QStringLiteral("*    Vers: 1.0.1.14 beta"));
    EXPECT_EQ(lines[4], QStringLiteral("*    Date: ") + stamp);
    EXPECT_EQ(lines[5], QStringLiteral("*"));
    EXPECT_EQ(lines[6], stars);
    EXPECT_EQ(lines[7], QString());
    ExpectRecordLine(lines[8], QStringLiteral("Info"), QStringLiteral("startup"),
                     QStringLiteral("Start logging ..."));
}

TEST_F(LogFileTest, ThresholdAndSourceColumn)
{
    ASSERT_TRUE(Start(5));
    LogFile::Write(QStringLiteral("five"), QStringLiteral("maintenance"), 5);
    LogFile::Write(QStringLiteral("six"), QStringLiteral("maintenance"), 6);
    LogFile::Write(QStringLiteral("seven"), QStringLiteral("maintenance"), 7);
    LogFile::Write(QStringLiteral("negative"), QStringLiteral("maintenance"), -1);
    LogFile::Write(QStringLiteral("zero"), QStringLiteral("abcdefghijklmnopq"), 0);
    const QStringList lines = ReadLines(LogFile::CurrentFileName());
    ASSERT_EQ(lines.size(), 11);
    ExpectRecordLine(lines[9], QStringLiteral("Info"), QStringLiteral("maintenance"), QStringLiteral("five"));
    ExpectRecordLine(lines[10], QStringLiteral("Fatal error"), QStringLiteral("abcdefghijkl"),
                     QStringLiteral("zero"));
}

TEST_F(LogFileTest, StartRules)
{
    EXPECT_FALSE(LogFile::Start(QString(), 5, QStringLiteral("t"), QStringLiteral("v"), QStringLiteral("e")));
    EXPECT_TRUE(LogFile::CurrentFileName().isEmpty());
    ASSERT_TRUE(Start(7));
    const QString first = LogFile::CurrentFileName();
    // A second start fails but still replaces the threshold.
    EXPECT_FALSE(LogFile::Start(Folder() + QStringLiteral("/other"), 2, QStringLiteral("t"),
                                QStringLiteral("v"), QStringLiteral("e")));
    EXPECT_EQ(LogFile::CurrentFileName(), first);
    LogFile::Write(QStringLiteral("info"), QStringLiteral("s"), 5);
    LogFile::Write(QStringLiteral("warning"), QStringLiteral("s"), 2);
    const QStringList lines = ReadLines(first);
    ASSERT_EQ(lines.size(), 10);
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("warning")));
}

std::atomic<int> gQtMessages{0};
void CountQtMessages(QtMsgType, const QMessageLogContext&, const QString&)
{
    ++gQtMessages;
}

TEST_F(LogFileTest, FailedOpenWritesNothingAndWarnsNothing)
{
    gQtMessages = 0;
    const QtMessageHandler previous = qInstallMessageHandler(&CountQtMessages);
    EXPECT_FALSE(LogFile::Start(Folder() + QStringLiteral("/missing/tandril"), 7, QStringLiteral("t"),
                                QStringLiteral("v"), QStringLiteral("e")));
    JoxCore::SetLogHandler handler(&JoxCore::LogHandlerCallback);
    for (int i = 0; i < 100; ++i)
        JoxCore::Log(1, 0, "c", "m", "f.cpp", 1, "fn");
    qInstallMessageHandler(previous);
    EXPECT_EQ(gQtMessages, 0);
    EXPECT_TRUE(QDir(Folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(LogFileTest, HandlerWritesFormattedRecords)
{
    ASSERT_TRUE(Start(5));
    JoxCore::SetLogHandler handler(&JoxCore::LogHandlerCallback);
    JoxCore::Log(1, 0, "WSDDClient", "x", "a.cpp", 12, "f");
    JoxCore::Log(6, 0, "WSDDClient", "verbose", "a.cpp", 13, "f");
    JoxCore::Log(2, 0, "Config", "Gr\xc3\xbc\xc3\x9f" "e", nullptr, 0, nullptr);
    const QStringList lines = ReadLines(LogFile::CurrentFileName());
    ASSERT_EQ(lines.size(), 11);
    ExpectRecordLine(lines[9], QStringLiteral("Error"), QStringLiteral("maintenance"),
                     QStringLiteral("Error (0): WSDDClient - x [a.cpp (line 12), f]"));
    ExpectRecordLine(lines[10], QStringLiteral("Warning"), QStringLiteral("maintenance"),
                     QString::fromUtf8("Warning: Config - Grüße"));
}

// Fills the current file with records until it is exactly rTarget bytes long.
void FillTo(qint64 target)
{
    const QString name = LogFile::CurrentFileName();
    const QString chunk(1 << 20, QLatin1Char('x'));
    constexpr qint64 overhead = 26 + 14 + 14 + 1;
    while (QFileInfo(name).size() + overhead + chunk.size() < target - overhead - 1)
        LogFile::Write(chunk, QStringLiteral("fill"), 5);
    const qint64 rest = target - QFileInfo(name).size() - overhead;
    LogFile::Write(QString(rest, QLatin1Char('y')), QStringLiteral("fill"), 5);
}

TEST_F(LogFileTest, RotatesFromTenMebibytesOn)
{
    ASSERT_TRUE(Start(5));
    const QString first = LogFile::CurrentFileName();
    FillTo(mpRotateSize - 1);
    EXPECT_EQ(QFileInfo(first).size(), mpRotateSize - 1);
    EXPECT_EQ(LogFile::CurrentFileName(), first); // one byte short: no rotation

    LogFile::Write(QStringLiteral("tips over"), QStringLiteral("fill"), 5);
    const QString second = LogFile::CurrentFileName();
    ASSERT_NE(second, first);
    QStringList lines = ReadLines(first);
    EXPECT_EQ(lines.last(), QStringLiteral("starting new log file..."));
    EXPECT_TRUE(lines[lines.size() - 2].endsWith(QStringLiteral("tips over")));
    lines = ReadLines(second);
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[2], QStringLiteral("*    File:Tandril- LogFile - Kalmbeck JOX GmbH"));
    EXPECT_EQ(lines[8], QStringLiteral("new log file started."));

    // Exactly 10,485,760 bytes rotates as well; the new name never reuses an old one.
    FillTo(mpRotateSize);
    const QString third = LogFile::CurrentFileName();
    EXPECT_NE(third, second);
    EXPECT_EQ(ReadLines(second).last(), QStringLiteral("starting new log file..."));
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_TRUE(third.endsWith(QStringLiteral(".txt")));
}

TEST_F(LogFileTest, OpeningKeepsTheTenNewestOldFiles)
{
    QStringList old;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (int i = 0; i < 13; ++i) {
        const QString name = Folder() + QStringLiteral("/tandril_old%1.txt").arg(i, 2, 10, QLatin1Char('0'));
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        const struct timeval times[2] = {{static_cast<time_t>(now - 1000 + i * 10), 0},
                                         {static_cast<time_t>(now - 1000 + i * 10), 0}};
        ASSERT_EQ(utimes(name.toLocal8Bit().constData(), times), 0);
        old << name;
    }
    tandriltest::WriteFile(mTemp.File("other.txt"), "unrelated");
    tandriltest::WriteFile(mTemp.File("tandril.log"), "unrelated");
    QDir(Folder()).mkdir(QStringLiteral("tandril_folder.txt"));

    ASSERT_TRUE(Start());
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(QFileInfo::exists(old[i])) << i;
    for (int i = 3; i < 13; ++i)
        EXPECT_TRUE(QFileInfo::exists(old[i])) << i;
    EXPECT_TRUE(QFileInfo::exists(LogFile::CurrentFileName()));
    EXPECT_TRUE(QFileInfo::exists(mTemp.File("other.txt").c_str()));
    EXPECT_TRUE(QFileInfo::exists(mTemp.File("tandril.log").c_str()));
    EXPECT_TRUE(QFileInfo(mTemp.File("tandril_folder.txt").c_str()).isDir());
}

TEST_F(LogFileTest, PrunePatternCutsTheLastUnderscorePart)
{
    tandriltest::WriteFile(mTemp.File("app_server_x.txt"), "");
    for (int i = 0; i < 11; ++i)
        tandriltest::WriteFile(mTemp.File("app_" + std::to_string(i) + ".txt"), "");
    tandriltest::WriteFile(mTemp.File("other_1.txt"), "");
    ASSERT_TRUE(LogFile::Start(Folder() + QStringLiteral("/app_server"), 5, QStringLiteral("t"),
                               QStringLiteral("v"), QStringLiteral("e")));
    // Pattern app*.txt: twelve old files, so two go; other_1.txt is untouched.
    const QStringList remaining = QDir(Folder()).entryList({QStringLiteral("app*.txt")}, QDir::Files);
    EXPECT_EQ(remaining.size(), 11);
    EXPECT_TRUE(QFileInfo::exists(mTemp.File("other_1.txt").c_str()));
}

TEST_F(LogFileTest, EightThreadsNeverInterleaveOrLoseLines)
{
    ASSERT_TRUE(Start(7));
    constexpr int threads = 8, perThread = 3000;
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([t] {
            for (int i = 0; i < perThread; ++i)
                LogFile::Write(QStringLiteral("thread %1 line %2 ").arg(t).arg(i) + QString(40, QLatin1Char('a' + t)),
                               QStringLiteral("worker"), 5);
        });
    for (auto& thread : pool)
        thread.join();
    const QStringList lines = ReadLines(LogFile::CurrentFileName());
    ASSERT_EQ(lines.size(), 9 + threads * perThread);
    QSet<QString> seen;
    const QRegularExpression text(QStringLiteral("^thread (\\d) line (\\d+) ([a-h])\\3{39}$"));
    for (int i = 9; i < lines.size(); ++i) {
        const QString body = lines[i].mid(54);
        const auto match = text.match(body);
        ASSERT_TRUE(match.hasMatch()) << body.toStdString();
        ASSERT_EQ(match.captured(3).at(0).toLatin1() - 'a', match.captured(1).toInt());
        seen.insert(match.captured(1) + QLatin1Char('/') + match.captured(2));
    }
    EXPECT_EQ(seen.size(), threads * perThread);
}

} // namespace
