// Committing downloads on a file system that refuses no-replace renames
// (EINVAL) and hard links (EPERM or ENOSYS), as FUSE mounts and network
// shares do. This program interposes the system calls the commit makes.
#include "FolderEntries.h"
#include "TempDir.h"

#include <joxwsstreaming/DownloadTarget.h>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using joxwsstreaming::DownloadTarget;
using tandriltest::FolderEntries;

namespace {

// What the interposed calls do; each is the system's own while unset.
struct Refusals
{
    int mRenameNoReplace = 0; // errno of renameat2 with RENAME_NOREPLACE
    int mLink = 0;            // errno of link
    int mRename = 0;          // errno of rename
    int mUnlink = 0;          // errno of unlink of a path that holds mUnlinkPart
    std::string mUnlinkPart;
    int mReservations = 0;    // O_EXCL creations seen by rename: names that held an empty file
    std::vector<std::string> mRenamedOnto; // the names rename was asked to move a file onto
};
Refusals gRefusals;

// Only the last way is left, the reservation; the rename onto it fails with
// renameError.
void RefuseAllButTheReservation(int renameError)
{
    gRefusals = Refusals();
    gRefusals.mRenameNoReplace = EINVAL;
    gRefusals.mLink = EPERM;
    gRefusals.mRename = renameError;
}

template <typename Function>
Function Next(const char* pName)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, pName));
}

bool Refuse(int error)
{
    if (error == 0)
        return false;
    errno = error;
    return true;
}

} // namespace

extern "C" int renameat2(int fromFolder, const char* pFrom, int toFolder, const char* pTo, unsigned int flags) noexcept
{
    if ((flags & RENAME_NOREPLACE) && Refuse(gRefusals.mRenameNoReplace))
        return -1;
    static const auto next = Next<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    return next(fromFolder, pFrom, toFolder, pTo, flags);
}

extern "C" int link(const char* pFrom, const char* pTo) noexcept
{
    if (Refuse(gRefusals.mLink))
        return -1;
    static const auto next = Next<int (*)(const char*, const char*)>("link");
    return next(pFrom, pTo);
}

extern "C" int rename(const char* pFrom, const char* pTo) noexcept
{
    gRefusals.mRenamedOnto.emplace_back(pTo);
    if (Refuse(gRefusals.mRename))
        return -1;
    // The file renamed onto is the reservation: empty until now.
    struct stat info{};
    if (::stat(pTo, &info) == 0 && info.st_size == 0)
        ++gRefusals.mReservations;
    static const auto next = Next<int (*)(const char*, const char*)>("rename");
    return next(pFrom, pTo);
}

extern "C" int unlink(const char* pPath) noexcept
{
    if (!gRefusals.mUnlinkPart.empty() && std::strstr(pPath, gRefusals.mUnlinkPart.c_str()) && Refuse(gRefusals.mUnlink))
        return -1;
    static const auto next = Next<int (*)(const char*)>("unlink");
    return next(pPath);
}

namespace {

class RefusedRenameTest : public ::testing::Test
{
protected:
    ~RefusedRenameTest() override { gRefusals = Refusals(); }

    // Begins a download of rName with rContent into the folder.
    static void Write(DownloadTarget& rTarget, const std::string& rName, const std::string& rContent)
    {
        const std::string temporary = rTarget.Begin(rName);
        ASSERT_FALSE(temporary.empty());
        tandriltest::WriteFile(temporary, rContent);
    }

    tandriltest::TempDir mFolder;
};

} // namespace

// Without either call the file still lands under its name, never over an
// existing file, and a gather still finds a free numbered name; nothing
// else is left in the folder.
TEST_F(RefusedRenameTest, TheNameIsReservedAndTheFileRenamedOntoIt)
{
    for (const int linkError : {EPERM, ENOSYS})
    {
        SCOPED_TRACE(std::strerror(linkError));
        tandriltest::TempDir folder;
        gRefusals = Refusals();
        gRefusals.mRenameNoReplace = EINVAL;
        gRefusals.mLink = linkError;

        DownloadTarget first(folder.Path());
        Write(first, "c.zip", "first");
        ASSERT_TRUE(first.Commit()) << first.GetError();
        EXPECT_EQ((std::vector<std::string>{folder.File("c.zip")}), first.GetCommittedPaths());
        EXPECT_EQ(1, gRefusals.mReservations);

        DownloadTarget again(folder.Path());
        Write(again, "c.zip", "second");
        EXPECT_FALSE(again.Commit());
        EXPECT_TRUE(again.IsNameTaken());
        EXPECT_EQ(folder.File("c.zip") + " already exists and was not replaced", again.GetError());

        DownloadTarget gathered(folder.Path());
        gathered.SetNameClash(DownloadTarget::NameClash::FreeName);
        Write(gathered, "c.zip", "third");
        ASSERT_TRUE(gathered.Commit()) << gathered.GetError();
        EXPECT_EQ((std::vector<std::string>{folder.File("c (2).zip")}), gathered.GetCommittedPaths());

        EXPECT_EQ((std::vector<std::string>{"c (2).zip", "c.zip"}), FolderEntries(folder.Path()));
        EXPECT_EQ("first", tandriltest::ReadFile(folder.File("c.zip")));
        EXPECT_EQ("third", tandriltest::ReadFile(folder.File("c (2).zip")));
        EXPECT_TRUE(first.GetLeftovers().empty());
        EXPECT_TRUE(gathered.GetLeftovers().empty());
    }
}

// A rename that fails onto the reservation takes the reservation away: the
// commit fails and the folder is as it was.
TEST_F(RefusedRenameTest, AFailedRenameLeavesNoReservation)
{
    tandriltest::WriteFile(mFolder.File("kept.zip"), "operator's file");
    RefuseAllButTheReservation(EACCES);
    DownloadTarget target(mFolder.Path());
    Write(target, "c.zip", "data");
    EXPECT_FALSE(target.Commit());
    EXPECT_EQ(mFolder.File("c.zip") + ": " + std::strerror(EACCES), target.GetError());
    EXPECT_FALSE(target.IsNameTaken());
    EXPECT_EQ((std::vector<std::string>{"kept.zip"}), FolderEntries(mFolder.Path()));
    EXPECT_TRUE(target.GetLeftovers().empty());

    // Nor could the reservation be removed: the commit says which file it left.
    gRefusals.mUnlink = EPERM;
    gRefusals.mUnlinkPart = "/d.zip";
    DownloadTarget stuck(mFolder.Path());
    Write(stuck, "d.zip", "data");
    EXPECT_FALSE(stuck.Commit());
    ASSERT_EQ(1u, stuck.GetLeftovers().size());
    EXPECT_EQ(mFolder.File("d.zip"), stuck.GetLeftovers()[0].first);
    EXPECT_EQ(std::strerror(EPERM), stuck.GetLeftovers()[0].second);
}

// The reservation is this program's own empty file: a rename onto it that
// fails, "File exists" too, is the file system's failure to store the file,
// not a taken name. The commit fails with the system's reason, leaves the
// folder as it was, and a gather tries no numbered name.
TEST_F(RefusedRenameTest, ARenameOntoTheReservationThatFailsIsAWriteFailure)
{
    for (const auto clash : {DownloadTarget::NameClash::Fail, DownloadTarget::NameClash::FreeName})
    {
        for (const int renameError : {EEXIST, ENOTEMPTY, EIO})
        {
            SCOPED_TRACE(std::string(clash == DownloadTarget::NameClash::Fail ? "list download, " : "gather, ") +
                         std::strerror(renameError));
            tandriltest::TempDir folder;
            tandriltest::WriteFile(folder.File("kept.zip"), "operator's file");
            RefuseAllButTheReservation(renameError);

            DownloadTarget target(folder.Path());
            target.SetNameClash(clash);
            Write(target, "c.zip", "data");
            EXPECT_FALSE(target.Commit());
            EXPECT_FALSE(target.IsNameTaken());
            EXPECT_EQ(folder.File("c.zip") + ": " + std::strerror(renameError), target.GetError());
            EXPECT_EQ(std::make_pair(folder.File("c.zip"), std::string(std::strerror(renameError))),
                      target.GetFileFailure());
            EXPECT_EQ((std::vector<std::string>{folder.File("c.zip")}), gRefusals.mRenamedOnto);
            EXPECT_EQ(0u, target.GetPendingCount());
            EXPECT_TRUE(target.GetCommittedPaths().empty());
            EXPECT_TRUE(target.GetLeftovers().empty());
            EXPECT_EQ((std::vector<std::string>{"kept.zip"}), FolderEntries(folder.Path()));
        }
    }

    // A gather whose name is taken stops at the numbered name whose rename failed.
    tandriltest::WriteFile(mFolder.File("c.zip"), "operator's file");
    RefuseAllButTheReservation(EEXIST);
    DownloadTarget gathered(mFolder.Path());
    gathered.SetNameClash(DownloadTarget::NameClash::FreeName);
    Write(gathered, "c.zip", "data");
    EXPECT_FALSE(gathered.Commit());
    EXPECT_FALSE(gathered.IsNameTaken());
    EXPECT_EQ(mFolder.File("c (2).zip") + ": " + std::strerror(EEXIST), gathered.GetError());
    EXPECT_EQ((std::vector<std::string>{mFolder.File("c (2).zip")}), gRefusals.mRenamedOnto);
    EXPECT_EQ((std::vector<std::string>{"c.zip"}), FolderEntries(mFolder.Path()));
    EXPECT_EQ("operator's file", tandriltest::ReadFile(mFolder.File("c.zip")));
}

// A hard link that worked and a temporary name that could not be removed:
// the file is stored, and the name left beside it is said.
TEST_F(RefusedRenameTest, ATemporaryNameThatStaysAfterTheLinkIsSaid)
{
    gRefusals.mRenameNoReplace = EINVAL;
    gRefusals.mUnlink = EBUSY;
    gRefusals.mUnlinkPart = ".part";
    DownloadTarget target(mFolder.Path());
    const std::string temporary = target.Begin("c.zip");
    tandriltest::WriteFile(temporary, "data");
    ASSERT_TRUE(target.Commit()) << target.GetError();
    EXPECT_EQ("data", tandriltest::ReadFile(mFolder.File("c.zip")));
    ASSERT_EQ(1u, target.GetLeftovers().size());
    EXPECT_EQ(temporary, target.GetLeftovers()[0].first);
    EXPECT_EQ(std::strerror(EBUSY), target.GetLeftovers()[0].second);
    EXPECT_EQ(2u, FolderEntries(mFolder.Path()).size());
}
