// Runs the built program as the operator would, inside private network
// namespaces and on a display of its own under Xvfb, closes it as a window
// manager does, and checks its exit codes and its log file.
#include "NetnsSandbox.h"
#include "StartWsddClient.h"
#include "TempDir.h"
#include "WaitFor.h"
#include "X11WindowClose.h"
#include "XvfbDisplay.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct ProgramRun
{
    bool mFinished = false;
    int mExitCode = -100;
    QStringList mLogLines;
    QStringList mLogFiles;
};

// Starts tandril (through pWrapper when given) on a display of its own with
// PROGRAMDATA in the folder, and closes the window whose name matches
// rClosePattern as a window manager's close button does.
ProgramRun RunProgram(const tandriltest::TempDir& rFolder, const QStringList& rWrapper, const QString& rClosePattern)
{
    ProgramRun run;
    tandriltest::XvfbDisplay display;
    if (!display.Start())
        return run;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PROGRAMDATA"), QString::fromStdString(rFolder.Path()));
    environment.insert(QStringLiteral("DISPLAY"), display.Name());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("TEMP"), QString::fromStdString(rFolder.Path()));
    // libxkbcommon-x11 hands strndup reply strings that are not terminated;
    // under the sanitizer build's strict string checks that alone aborts.
    if (environment.contains(QStringLiteral("ASAN_OPTIONS")))
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           environment.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":strict_string_checks=0"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments = rWrapper;
    arguments.append(QStringLiteral(TANDRIL_PATH));
    const QString program = arguments.takeFirst();
    process.start(program, arguments);
    if (!process.waitForStarted(10000))
        return run;
    const QString window = display.FindWindow(rClosePattern, 30000);
    if (!window.isEmpty())
    {
        // Closed once its event loop has painted it, as an operator would.
        tandriltest::WaitFor([&] {
            const QImage image = display.GrabWindow(window);
            return !image.isNull() && !tandriltest::XvfbDisplay::IsUniform(image);
        }, 20000);
        tandriltest::SendDeleteWindow(display.Name().toStdString(), window.toULong());
    }
    run.mFinished = process.waitForFinished(30000);
    if (!run.mFinished)
    {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.mExitCode = process.exitCode();
    const QDir logFolder(QString::fromStdString(rFolder.Path()) + QStringLiteral("/JOX/Tandril/log"));
    run.mLogFiles = logFolder.entryList({QStringLiteral("tandril_*_pid*.txt")}, QDir::Files);
    if (run.mLogFiles.size() == 1)
    {
        const std::string text = tandriltest::ReadFile(logFolder.filePath(run.mLogFiles.first()).toStdString());
        run.mLogLines = QString::fromStdString(text).split(QLatin1Char('\n'));
    }
    return run;
}

int IndexOf(const QStringList& rLines, const QString& rText)
{
    for (int i = 0; i < rLines.size(); ++i)
        if (rLines.at(i).contains(rText))
            return i;
    return -1;
}

} // namespace

TEST(TandrilProgramTest, NormalRunLogsFirstAndExitsWithZeroWhenTheWindowCloses)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    if (!tandriltest::XvfbDisplay::MissingTools().isEmpty())
        GTEST_SKIP() << tandriltest::XvfbDisplay::MissingTools().toStdString();
    tandriltest::TempDir folder;
    const ProgramRun run = RunProgram(folder, {}, QStringLiteral("^Tandril$"));
    ASSERT_TRUE(run.mFinished);
    EXPECT_EQ(run.mExitCode, 0);
    ASSERT_EQ(run.mLogFiles.size(), 1) << run.mLogFiles.join(QLatin1Char(' ')).toStdString();
    ASSERT_GT(run.mLogLines.size(), 8);
    EXPECT_EQ(run.mLogLines.at(0), QString(98, QLatin1Char('*')));
    EXPECT_EQ(run.mLogLines.at(2), QStringLiteral("*    File:Tandril- LogFile - Kalmbeck JOX GmbH"));
    EXPECT_EQ(run.mLogLines.at(3), QStringLiteral("*    Vers: 1.0.1.14 "));
    EXPECT_TRUE(run.mLogLines.at(7).isEmpty());
    // The log starts before the discovery client does.
    const int start = IndexOf(run.mLogLines, QStringLiteral("Start logging ..."));
    const int discovery = IndexOf(run.mLogLines, QStringLiteral("WSDDBaseThread"));
    EXPECT_EQ(start, 8);
    EXPECT_EQ(run.mLogLines.at(8).mid(26, 14), QStringLiteral("Info          "));
    EXPECT_GT(discovery, start);
    EXPECT_EQ(IndexOf(run.mLogLines, QStringLiteral("WSDDClient failed to start!")), -1);
    EXPECT_EQ(IndexOf(run.mLogLines, QStringLiteral("Caught an")), -1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.File("tandril.dmp"))));
}

TEST(TandrilProgramTest, DiscoveryThatCannotStartEndsWithOne)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    if (!tandriltest::XvfbDisplay::MissingTools().isEmpty())
        GTEST_SKIP() << tandriltest::XvfbDisplay::MissingTools().toStdString();
    tandriltest::TempDir folder;
    // A namespace of its own whose loopback is down: the discovery thread
    // cannot join the multicast group. The operator closes the box that says so.
    const ProgramRun run = RunProgram(folder, {QStringLiteral("unshare"), QStringLiteral("-n"), QStringLiteral("--")},
                                      QStringLiteral("^Critical$"));
    ASSERT_TRUE(run.mFinished);
    EXPECT_EQ(run.mExitCode, 1);
    ASSERT_EQ(run.mLogFiles.size(), 1);
    const int fatal = IndexOf(run.mLogLines, QStringLiteral("Starting WSDD client with ip failed."));
    const int detail = IndexOf(run.mLogLines, QStringLiteral("Error WSDD Client."));
    const int direct = IndexOf(run.mLogLines, QStringLiteral("WSDDClient failed to start!"));
    ASSERT_GE(fatal, 0);
    EXPECT_TRUE(run.mLogLines.at(fatal).contains(QStringLiteral("Fatal error")));
    EXPECT_GT(detail, fatal);
    ASSERT_GT(direct, detail);
    EXPECT_EQ(run.mLogLines.at(direct).mid(26), QStringLiteral("Error         app           WSDDClient failed to start!"));
}

TEST(TandrilProgramTest, OnlyLoopbackGivesOneLoopbackThread)
{
    TANDRIL_REQUIRE_PRIVATE_NETNS();
    const auto parameters = joxmaintenance::DiscoveryThreadParameters();
    ASSERT_EQ(parameters.size(), 1u);
    EXPECT_EQ(parameters[0].mIp, "127.0.0.1");
    EXPECT_EQ(parameters[0].mUnicastPort, 0);
    EXPECT_EQ(parameters[0].mMulticastPort, 3702);
}
