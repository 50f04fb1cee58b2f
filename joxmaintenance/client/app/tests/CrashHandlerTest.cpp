#include "CrashHandler.h"

#include "ScopedEnv.h"
#include "TempDir.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct HelperRun
{
    int mExitCode = -100;
    bool mNormalExit = false;
    qint64 mPid = 0;
    QString mOutput;
};

// Runs the helper in the folder, with TEMP set to the folder, to rTemp
// when given, or unset.
HelperRun RunHelper(const QString& rMode, const std::string& rFolder, bool setTemp = true, const std::string& rTemp = "")
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TEMP"));
    if (setTemp)
        environment.insert(QStringLiteral("TEMP"), QString::fromStdString(rTemp.empty() ? rFolder : rTemp));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QString::fromStdString(rFolder));
    process.start(QStringLiteral(CRASH_HELPER_PATH), {rMode});
    HelperRun run;
    if (!process.waitForStarted(10000))
        return run;
    run.mPid = process.processId();
    process.waitForFinished(20000);
    run.mNormalExit = process.exitStatus() == QProcess::NormalExit;
    run.mExitCode = process.exitCode();
    run.mOutput = QString::fromLocal8Bit(process.readAllStandardOutput());
    return run;
}

QString Dump(const std::string& rFolder)
{
    return QString::fromStdString(tandriltest::ReadFile(rFolder + "/tandril.dmp"));
}

} // namespace

TEST(CrashHandlerTest, DumpPathJoinsTempAndName)
{
    {
        tandriltest::ScopedEnv temp("TEMP", "/tmp/x");
        EXPECT_EQ(CrashDumpPath("tandril.dmp"), "/tmp/x/tandril.dmp");
    }
    {
        tandriltest::ScopedEnv temp("TEMP", "");
        EXPECT_EQ(CrashDumpPath("tandril.dmp"), "/tandril.dmp");
    }
    tandriltest::ScopedEnv temp("TEMP", nullptr);
    EXPECT_EQ(CrashDumpPath("tandril.dmp"), "tandril.dmp");
    EXPECT_FALSE(InstallCrashHandler(nullptr));
    EXPECT_FALSE(InstallCrashHandler(""));
}

TEST(CrashHandlerTest, FatalSignalsWriteOneDumpAndExitWithThree)
{
    const struct
    {
        const char* mMode;
        const char* mFault;
    } cases[] = {{"segv", "fault: segmentation fault (signal 11)"},
                 {"abort", "fault: abort (signal 6)"},
                 {"fpe", "fault: floating-point error (signal 8)"},
                 {"ill", "fault: illegal instruction (signal 4)"},
                 {"throw", "fault: terminate\n"},
                 {"threads", "fault: segmentation fault (signal 11)"}};
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mMode);
        tandriltest::TempDir folder;
        const HelperRun run = RunHelper(QString::fromLatin1(rCase.mMode), folder.Path());
        EXPECT_TRUE(run.mNormalExit);
        EXPECT_EQ(run.mExitCode, 3);
        EXPECT_EQ(run.mOutput, QStringLiteral("installed 1\n"));
        const QString dump = Dump(folder.Path());
        EXPECT_TRUE(dump.startsWith(QStringLiteral("Tandril crash dump\npid: %1\n").arg(run.mPid))) << dump.left(200).toStdString();
        EXPECT_TRUE(dump.contains(QString::fromLatin1(rCase.mFault))) << dump.left(200).toStdString();
        EXPECT_TRUE(dump.contains(QStringLiteral("\nbacktrace:\n")));
        EXPECT_TRUE(dump.contains(QStringLiteral("\nmemory map:\n")));
        // The dump is complete even when a second thread faulted meanwhile.
        EXPECT_TRUE(dump.endsWith(QStringLiteral("end of dump\n")));
        EXPECT_EQ(dump.count(QStringLiteral("Tandril crash dump")), 1);
    }
}

TEST(CrashHandlerTest, ExistingDumpIsReplaced)
{
    tandriltest::TempDir folder;
    tandriltest::WriteFile(folder.File("tandril.dmp"), std::string(100000, 'x'));
    const HelperRun run = RunHelper(QStringLiteral("segv"), folder.Path());
    EXPECT_EQ(run.mExitCode, 3);
    const QString dump = Dump(folder.Path());
    EXPECT_TRUE(dump.startsWith(QStringLiteral("Tandril crash dump")));
    EXPECT_FALSE(dump.contains(QLatin1Char('x') + QStringLiteral("xxxxxxxx")));
}

TEST(CrashHandlerTest, WithoutTempTheDumpGoesToTheWorkingFolder)
{
    tandriltest::TempDir folder;
    const HelperRun run = RunHelper(QStringLiteral("segv"), folder.Path(), false);
    EXPECT_EQ(run.mExitCode, 3);
    EXPECT_TRUE(Dump(folder.Path()).startsWith(QStringLiteral("Tandril crash dump")));
}

TEST(CrashHandlerTest, SecondInstallationKeepsTheFirst)
{
    tandriltest::TempDir folder;
    const HelperRun run = RunHelper(QStringLiteral("twice"), folder.Path());
    EXPECT_EQ(run.mOutput, QStringLiteral("installed 1\nagain 1\n"));
    EXPECT_EQ(run.mExitCode, 3);
    EXPECT_TRUE(Dump(folder.Path()).contains(QStringLiteral("segmentation fault")));
}

TEST(CrashHandlerTest, UnwritableDumpStillEndsWithThree)
{
    tandriltest::TempDir folder;
    const HelperRun run = RunHelper(QStringLiteral("segv"), folder.Path(), true, folder.Path() + "/missing");
    EXPECT_EQ(run.mExitCode, 3);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.Path() + "/missing/tandril.dmp")));
}

TEST(CrashHandlerTest, NoFaultNoDump)
{
    tandriltest::TempDir folder;
    const HelperRun run = RunHelper(QStringLiteral("none"), folder.Path());
    EXPECT_EQ(run.mExitCode, 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.File("tandril.dmp"))));
}
