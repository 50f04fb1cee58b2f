#include "CrashHandler.h"

#include "ScopedEnv.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

struct HelperRun
{
    int mExitCode = -100;
    bool mNormalExit = false;
    qint64 mPid = 0;
    QString mOutput;
};

enum class Gdb
{
    Found,  // the machine's PATH
    Hidden, // a PATH without gdb
    Failing // a gdb on PATH that fails
};

// Runs the helper in the folder, with TEMP set to the folder (or to rTemp
// when given), and gdb as asked.
HelperRun RunHelper(const QString& rMode, const tandriltest::TempDir& rFolder, Gdb gdb, const std::string& rTemp = "")
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TEMP"), QString::fromStdString(rTemp.empty() ? rFolder.Path() : rTemp));
    if (gdb == Gdb::Hidden)
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/nonexistent"));
    if (gdb == Gdb::Failing)
    {
        const std::string bin = rFolder.File("bin");
        QDir().mkpath(QString::fromStdString(bin));
        tandriltest::WriteFile(bin + "/gdb", "#!/bin/sh\nexit 1\n");
        QFile::setPermissions(QString::fromStdString(bin + "/gdb"), QFile::ReadOwner | QFile::ExeOwner);
        environment.insert(QStringLiteral("PATH"), QString::fromStdString(bin));
    }
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QString::fromStdString(rFolder.Path()));
    process.start(QStringLiteral(CRASH_HELPER_PATH), {rMode});
    HelperRun run;
    if (!process.waitForStarted(10000))
        return run;
    run.mPid = process.processId();
    process.waitForFinished(90000);
    run.mNormalExit = process.exitStatus() == QProcess::NormalExit;
    run.mExitCode = process.exitCode();
    run.mOutput = QString::fromLocal8Bit(process.readAllStandardOutput());
    return run;
}

QString Dump(const tandriltest::TempDir& rFolder)
{
    return QString::fromStdString(tandriltest::ReadFile(rFolder.File("tandril.dmp")));
}

bool IsCore(const tandriltest::TempDir& rFolder)
{
    return tandriltest::ReadFile(rFolder.File("tandril.dmp")).compare(0, 4, "\x7f" "ELF") == 0;
}

QString GdbPath()
{
    return QStandardPaths::findExecutable(QStringLiteral("gdb"));
}

#if defined(__SANITIZE_ADDRESS__)
#define CORE_WRITER_REQUIRED() GTEST_SKIP() << "an AddressSanitizer build writes text dumps only"
#else
#define CORE_WRITER_REQUIRED()                                                               \
    if (GdbPath().isEmpty())                                                                 \
    GTEST_SKIP() << "gdb is not installed (tools/install-deps.sh installs it)"
#endif

// What gdb shows of every thread in the core.
QString ThreadBacktraces(const tandriltest::TempDir& rFolder)
{
    QProcess gdb;
    gdb.start(GdbPath(), {QStringLiteral("-batch"), QStringLiteral("-nx"), QStringLiteral("-ex"),
                          QStringLiteral("thread apply all bt 40"), QStringLiteral(CRASH_HELPER_PATH),
                          QString::fromStdString(rFolder.File("tandril.dmp"))});
    gdb.waitForFinished(90000);
    return QString::fromLocal8Bit(gdb.readAllStandardOutput());
}

} // namespace

TEST(CrashHandlerTest, DumpFolderIsTempThenTmpdirThenTmp)
{
    {
        tandriltest::ScopedEnv temp("TEMP", "/tmp/x");
        tandriltest::ScopedEnv tmpdir("TMPDIR", "/tmp/y");
        EXPECT_EQ(CrashDumpPath("tandril.dmp"), "/tmp/x/tandril.dmp");
    }
    {
        tandriltest::ScopedEnv temp("TEMP", "");
        EXPECT_EQ(CrashDumpPath("tandril.dmp"), "/tandril.dmp");
    }
    tandriltest::ScopedEnv temp("TEMP", nullptr);
    {
        tandriltest::ScopedEnv tmpdir("TMPDIR", "/tmp/y");
        EXPECT_EQ(CrashDumpPath("tandril.dmp"), "/tmp/y/tandril.dmp");
    }
    tandriltest::ScopedEnv tmpdir("TMPDIR", nullptr);
    EXPECT_EQ(CrashDumpPath("tandril.dmp"), "/tmp/tandril.dmp");
    EXPECT_FALSE(InstallCrashHandler(nullptr));
    EXPECT_FALSE(InstallCrashHandler(""));
}

// Without a working gdb every fault leaves one text dump with the fault, its
// address and registers, a backtrace, the modules' build ids and the map.
TEST(CrashHandlerTest, WithoutGdbFaultsWriteOneTextDumpAndExitWithThree)
{
    const struct
    {
        const char* mMode;
        const char* mFault;
        bool mSignal;
    } cases[] = {{"segv", "fault: segmentation fault (signal 11)\n", true},
                 {"abort", "fault: abort (signal 6)\n", true},
                 {"fpe", "fault: floating-point error (signal 8)\n", true},
                 {"ill", "fault: illegal instruction (signal 4)\n", true},
                 {"bus", "fault: bus error (signal 7)\n", true},
                 {"throw", "fault: terminate\n", false},
                 {"threads", "fault: segmentation fault (signal 11)\n", true},
                 {"stack", "fault: segmentation fault (signal 11)\n", true}};
    for (Gdb gdb : {Gdb::Hidden, Gdb::Failing})
    {
        for (const auto& rCase : cases)
        {
            SCOPED_TRACE(std::string(rCase.mMode) + (gdb == Gdb::Hidden ? " without gdb" : " with a failing gdb"));
            tandriltest::TempDir folder;
            const HelperRun run = RunHelper(QString::fromLatin1(rCase.mMode), folder, gdb);
            EXPECT_TRUE(run.mNormalExit);
            EXPECT_EQ(run.mExitCode, 3);
            EXPECT_EQ(run.mOutput, QStringLiteral("installed 1\n"));
            const QString dump = Dump(folder);
            const std::string head = dump.left(1500).toStdString();
            EXPECT_TRUE(dump.startsWith(QStringLiteral("Tandril crash dump\npid: %1\n").arg(run.mPid))) << head;
            EXPECT_TRUE(dump.contains(QString::fromLatin1(rCase.mFault))) << head;
            EXPECT_EQ(dump.contains(QStringLiteral("\nregisters:\n  rip 0x")), rCase.mSignal) << head;
            EXPECT_EQ(dump.contains(QStringLiteral("\nfault address: 0x")),
                      rCase.mSignal && std::string(rCase.mMode) != "abort")
                << head;
            EXPECT_TRUE(dump.contains(QStringLiteral("\nbacktrace:\n")));
            EXPECT_TRUE(dump.contains(QRegularExpression(QStringLiteral("\nmodules:\n  0x[0-9a-f]{16} build id [0-9a-f]{40} "))))
                << head;
            EXPECT_TRUE(dump.contains(QStringLiteral("\nmemory map:\n")));
            // The dump is complete even when a second thread faulted meanwhile.
            EXPECT_TRUE(dump.endsWith(QStringLiteral("end of dump\n")));
            EXPECT_EQ(dump.count(QStringLiteral("Tandril crash dump")), 1);
        }
    }
}

TEST(CrashHandlerTest, TextDumpNamesTheFaultingFunctionAndAddress)
{
    tandriltest::TempDir folder;
    const HelperRun run = RunHelper(QStringLiteral("segv"), folder, Gdb::Hidden);
    EXPECT_EQ(run.mExitCode, 3);
    const QString dump = Dump(folder);
    EXPECT_TRUE(dump.contains(QStringLiteral("fault address: 0x0000000000000008\n"))) << dump.left(800).toStdString();
    const int backtrace = dump.indexOf(QStringLiteral("\nbacktrace:\n"));
    const int modules = dump.indexOf(QStringLiteral("\nmodules:\n"));
    ASSERT_GT(modules, backtrace);
    EXPECT_TRUE(dump.mid(backtrace, modules - backtrace).contains(QStringLiteral("CrashHelperSegfault")))
        << dump.mid(backtrace, modules - backtrace).toStdString();
}

// With gdb the dump is a core of the whole process that gdb opens again.
TEST(CrashHandlerTest, WithGdbTheDumpIsACoreWithEveryThread)
{
    CORE_WRITER_REQUIRED();
    tandriltest::TempDir folder;
    const HelperRun run = RunHelper(QStringLiteral("three"), folder, Gdb::Found);
    EXPECT_TRUE(run.mNormalExit);
    EXPECT_EQ(run.mExitCode, 3);
    EXPECT_EQ(run.mOutput, QStringLiteral("installed 1\n"));
    ASSERT_TRUE(IsCore(folder)) << Dump(folder).left(300).toStdString();
    const QString backtraces = ThreadBacktraces(folder);
    EXPECT_EQ(backtraces.count(QRegularExpression(QStringLiteral("\nThread [0-9]+ \\("))), 3) << backtraces.toStdString();
    EXPECT_TRUE(backtraces.contains(QStringLiteral("CrashHelperSegfault"))) << backtraces.toStdString();
}

TEST(CrashHandlerTest, WithGdbEveryFaultLeavesOneCore)
{
    CORE_WRITER_REQUIRED();
    for (const char* pMode : {"abort", "throw", "stack", "threads"})
    {
        SCOPED_TRACE(pMode);
        tandriltest::TempDir folder;
        const HelperRun run = RunHelper(QString::fromLatin1(pMode), folder, Gdb::Found);
        EXPECT_TRUE(run.mNormalExit);
        EXPECT_EQ(run.mExitCode, 3);
        EXPECT_TRUE(IsCore(folder));
        if (std::string(pMode) == "stack")
        {
            EXPECT_TRUE(ThreadBacktraces(folder).contains(QStringLiteral("CrashHelperRecurse")));
        }
    }
}

TEST(CrashHandlerTest, ExistingDumpIsReplaced)
{
    tandriltest::TempDir folder;
    tandriltest::WriteFile(folder.File("tandril.dmp"), std::string(100000, 'x'));
    const HelperRun run = RunHelper(QStringLiteral("segv"), folder, Gdb::Hidden);
    EXPECT_EQ(run.mExitCode, 3);
    const QString dump = Dump(folder);
    EXPECT_TRUE(dump.startsWith(QStringLiteral("Tandril crash dump")));
    EXPECT_FALSE(dump.contains(QStringLiteral("xxxxxxxxx")));
}

TEST(CrashHandlerTest, SecondInstallationKeepsTheFirst)
{
    tandriltest::TempDir folder;
    const HelperRun run = RunHelper(QStringLiteral("twice"), folder, Gdb::Hidden);
    EXPECT_EQ(run.mOutput, QStringLiteral("installed 1\nagain 1\n"));
    EXPECT_EQ(run.mExitCode, 3);
    EXPECT_TRUE(Dump(folder).contains(QStringLiteral("segmentation fault")));
}

TEST(CrashHandlerTest, UnwritableDumpStillEndsWithThree)
{
    for (Gdb gdb : {Gdb::Found, Gdb::Hidden})
    {
        tandriltest::TempDir folder;
        const HelperRun run = RunHelper(QStringLiteral("segv"), folder, gdb, folder.Path() + "/missing");
        EXPECT_EQ(run.mExitCode, 3);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.Path() + "/missing/tandril.dmp")));
    }
}

TEST(CrashHandlerTest, NoFaultNoDump)
{
    tandriltest::TempDir folder;
    const HelperRun run = RunHelper(QStringLiteral("none"), folder, Gdb::Found);
    EXPECT_EQ(run.mExitCode, 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.File("tandril.dmp"))));
}
