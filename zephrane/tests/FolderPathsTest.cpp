#include <zephrane/Exception/Generic.h>
#include <zephrane/FolderPaths.h>
#include <zephrane/Utilities.h>

#include "platform/Platform.h"

#include "ScopedEnv.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using tandriltest::ScopedEnv;

TEST(NormalizePathTest, Cases)
{
    struct Case
    {
        std::wstring in;
        bool trailing;
        std::wstring out;
    } cases[] = {
        {L"\\\\server\\share\\folder", true, L"\\\\server/share/folder/"},
        {L"\\\\server\\share\\folder", false, L"\\\\server/share/folder"},
        {L"", true, L""},
        {L"C:\\data\\JOX", true, L"C:/data/JOX/"},
        {L"/var/lib/", true, L"/var/lib/"},
        {L"\\single", false, L"/single"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zephrane::NormalizePath(c.in, c.trailing), c.out);
}

TEST(CommonAppDataTest, Rule)
{
    using zephrane::platform::ChooseCommonAppData;
    EXPECT_EQ(ChooseCommonAppData("/srv/pd", true, "/home/u/.local/share"), "/srv/pd");
    EXPECT_EQ(ChooseCommonAppData("", true, "/home/u/.local/share"), "/var/lib/");
    EXPECT_EQ(ChooseCommonAppData("", false, "/home/u/.local/share"), "/home/u/.local/share");
}

TEST(CommonAppDataTest, ProgramDataIsCreatedAndEndsInSlash)
{
    tandriltest::TempDir temp;
    const std::string folder = temp.File("machine/data");
    ScopedEnv env("PROGRAMDATA", folder.c_str());
    const std::wstring path = zephrane::CommonAppDataFolder();
    EXPECT_EQ(path, zephrane::Utf8ToWide(temp.Path() + "/machine/data/"));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(CommonAppDataTest, EmptyProgramDataFallsBack)
{
    tandriltest::TempDir temp;
    ScopedEnv env("PROGRAMDATA", "");
    ScopedEnv xdg("XDG_DATA_HOME", temp.Path().c_str());
    const std::wstring path = zephrane::GetFolderPath(zephrane::FolderCommonAppData, false);
    const bool varLibWritable = access("/var/lib", W_OK) == 0 || access("/var/lib/JOX", W_OK) == 0;
    EXPECT_EQ(path, varLibWritable ? std::wstring(L"/var/lib/") : zephrane::Utf8ToWide(temp.Path() + "/"));
}

TEST(CommonAppDataTest, UncreatableFolderFails)
{
    tandriltest::TempDir temp;
    tandriltest::WriteFile(temp.File("plain"), "x");
    const std::string folder = temp.File("plain/below");
    ScopedEnv env("PROGRAMDATA", folder.c_str());
    try {
        zephrane::CommonAppDataFolder();
        FAIL() << "no exception";
    } catch (const zephrane::Exception::Generic& rError) {
        EXPECT_STREQ(rError.what(), "Failed to get folder path.");
    }
}

TEST(FolderKindsTest, UserFoldersFollowXdgAndHome)
{
    ScopedEnv home("HOME", "/home/operator");
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    ScopedEnv data("XDG_DATA_HOME", "/data/operator");
    EXPECT_EQ(zephrane::GetFolderPath(zephrane::FolderUserAppData, false), L"/home/operator/.config/");
    EXPECT_EQ(zephrane::GetFolderPath(zephrane::FolderLocalAppData, false), L"/data/operator/");
    EXPECT_EQ(zephrane::GetFolderPath(zephrane::FolderProfile, false), L"/home/operator/");
    EXPECT_EQ(zephrane::GetFolderPath(zephrane::FolderDesktop, false), L"/home/operator/Desktop/");
    EXPECT_EQ(zephrane::GetFolderPath(42, false), L"/home/operator/Desktop/");
}

} // namespace
