#include <zephrane/Exception/Generic.h>
#include <zephrane/Utilities.h>

#include "FakeOpener.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using tandriltest::FakeOpener;
using zephrane::Utf8ToWide;

std::string MessageOf(const std::function<void()>& rCall)
{
    try {
        rCall();
    } catch (const zephrane::Exception::Generic& rError) {
        return rError.what();
    }
    return "<no exception>";
}

TEST(ExecuteCommandTest, MissingDocumentNamesVerbFileAndSystemText)
{
    tandriltest::TempDir temp;
    const std::string missing = temp.File("missing.html");
    EXPECT_EQ(MessageOf([&] { zephrane::OpenDocument(Utf8ToWide(missing), true, false); }),
              "Operation \"open\" on command \"" + missing +
                  "\" could not be executed. No such file or directory");
}

TEST(ExecuteCommandTest, FailedStartNamesArguments)
{
    EXPECT_EQ(MessageOf([] {
                  zephrane::ExecuteCommand(L"run", L"/nonexistent/tool", L"-a \"b c\"", false, false);
              }),
              "Operation \"run\" on command \"/nonexistent/tool\" with arguments \"-a \"b c\"\" could "
              "not be executed. No such file or directory");
}

TEST(ExecuteCommandTest, WaitReportsExitStatus)
{
    EXPECT_NO_THROW(zephrane::ExecuteCommand(L"run", L"/bin/sh", L"-c true", false, true));
    EXPECT_EQ(MessageOf([] { zephrane::ExecuteCommand(L"run", L"/bin/sh", L"-c \"exit 3\"", false, true); }),
              "Operation \"run\" on command \"/bin/sh\" with arguments \"-c \"exit 3\"\" waiting for "
              "finished failed.");
}

TEST(ExecuteCommandTest, DocumentPathReachesOpenerUninterpreted)
{
    FakeOpener opener(0);
    const std::string document = opener.Temp().File("my doc $(touch pwned) `id`;.html");
    tandriltest::WriteFile(document, "<html/>");
    zephrane::OpenDocument(Utf8ToWide(document), true, true);
    EXPECT_EQ(opener.Arguments(), document + "\n");
    EXPECT_FALSE(std::filesystem::exists("pwned"));
}

TEST(ExecuteCommandTest, OpenerFailureFailsTheWait)
{
    FakeOpener opener(4);
    const std::string document = opener.Temp().File("doc.txt");
    tandriltest::WriteFile(document, "x");
    EXPECT_EQ(MessageOf([&] { zephrane::OpenDocument(Utf8ToWide(document), true, true); }),
              "Operation \"open\" on command \"" + document + "\" waiting for finished failed.");
}

TEST(ExecuteCommandTest, WithoutWaitReturnsAtOnce)
{
    const auto start = std::chrono::steady_clock::now();
    zephrane::ExecuteCommand(L"run", L"/bin/sleep", L"1", false, false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST(ExecutableDirectoryTest, HoldsTheTestProgram)
{
    const std::wstring folder = zephrane::ExecutableDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'/');
    EXPECT_TRUE(std::filesystem::exists(zephrane::WideToUtf8(folder) + "zephrane_tests"));
}

TEST(FileTestsTest, Table)
{
    tandriltest::TempDir temp;
    tandriltest::WriteFile(temp.File("file.txt"), "x");
    const std::string folder = temp.Path();
    struct Case
    {
        std::string path;
        bool directory, directoryPath, file;
    } cases[] = {
        {temp.File("file.txt"), false, false, true},
        {folder, true, true, false},
        {folder + "/", true, true, false},
        {temp.File("missing"), false, false, false},
        {"/dev/null", false, false, false},
        {"/", true, false, false}, // too short for IsDirectoryPath
    };
    for (const Case& c : cases) {
        const std::wstring path = Utf8ToWide(c.path);
        EXPECT_EQ(zephrane::DirectoryExists(path), c.directory) << c.path;
        EXPECT_EQ(zephrane::IsDirectoryPath(path), c.directoryPath) << c.path;
        EXPECT_EQ(zephrane::FileExists(path), c.file) << c.path;
    }
}

TEST(CreateDirectoryTest, CreatesMissingLevelsInOrderAndAgainSucceeds)
{
    tandriltest::TempDir temp;
    const std::wstring path = Utf8ToWide(temp.File("one/two/three"));
    EXPECT_TRUE(zephrane::CreateDirectoryPath(path));
    EXPECT_TRUE(std::filesystem::is_directory(temp.File("one/two/three")));
    EXPECT_TRUE(zephrane::CreateDirectoryPath(path + L"/"));
}

TEST(CreateDirectoryTest, SingleDirectoryResults)
{
    tandriltest::TempDir temp;
    tandriltest::WriteFile(temp.File("file"), "x");
    EXPECT_TRUE(zephrane::CreateSingleDirectory(Utf8ToWide(temp.File("new"))));
    EXPECT_TRUE(zephrane::CreateSingleDirectory(Utf8ToWide(temp.File("new")))); // exists as folder
    EXPECT_FALSE(zephrane::CreateSingleDirectory(Utf8ToWide(temp.File("file"))));
    const std::string below = temp.File("missing/below");
    EXPECT_EQ(MessageOf([&] { zephrane::CreateSingleDirectory(Utf8ToWide(below)); }),
              "Could not create the new directory '" + below + "'.");
}

TEST(CreateDirectoryTest, FileInTheWayThrows)
{
    tandriltest::TempDir temp;
    tandriltest::WriteFile(temp.File("file"), "x");
    const std::string below = temp.File("file/sub");
    EXPECT_EQ(MessageOf([&] { zephrane::CreateDirectoryPath(Utf8ToWide(below + "/leaf")); }),
              "Could not create the new directory '" + below + "'.");
}

TEST(CreateDirectoryTest, RelativePath)
{
    tandriltest::TempDir temp;
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(temp.Path());
    EXPECT_TRUE(zephrane::CreateDirectoryPath(L"rel/sub"));
    EXPECT_TRUE(std::filesystem::is_directory(temp.File("rel/sub")));
    std::filesystem::current_path(old);
}

TEST(WideTextTest, Utf8Conversion)
{
    EXPECT_EQ(zephrane::WideToUtf8(L"\u20ac"), "\xe2\x82\xac");
    EXPECT_EQ(zephrane::WideToUtf8(L"A\u00e9"), "A\xc3\xa9");
    EXPECT_EQ(zephrane::WideToUtf8(L"\U0001F600"), "\xf0\x9f\x98\x80");
    EXPECT_EQ(zephrane::WideToUtf8(L"abcdef", 3), "abc");
    EXPECT_EQ(zephrane::WideToUtf8(static_cast<const wchar_t*>(nullptr)), "");
    const wchar_t invalid[] = {0xD800, 0x110000, 0};
    EXPECT_EQ(zephrane::WideToUtf8(invalid), "\xef\xbf\xbd\xef\xbf\xbd");
    EXPECT_EQ(Utf8ToWide("A\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"), L"A\u00e9\u20ac\U0001F600");
    EXPECT_EQ(Utf8ToWide("a\xff" "b\xc3"), L"a\uFFFDb\uFFFD");
    EXPECT_EQ(Utf8ToWide("\xc0\xaf"), L"\uFFFD\uFFFD"); // overlong
    EXPECT_EQ(zephrane::WideToLocal8Bit(L"plain ascii"), "plain ascii");
}

} // namespace
