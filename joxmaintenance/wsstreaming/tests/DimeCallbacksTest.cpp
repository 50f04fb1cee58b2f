// The download callbacks on their own, driven as the runtime drives them.
#include "FolderEntries.h"
#include "LogCapture.h"
#include "TempDir.h"

#include <joxmaintenance/CommandType.h>
#include <joxmaintenance/LockedCommandStatusList.h>
#include <joxwsstreaming/DimeCallbacks.h>
#include <joxwsstreaming/DownloadTarget.h>

#include <stdsoap2.h>

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <cstring>

using namespace joxwsstreaming;

namespace {

std::string Option(const std::string& rPath)
{
    std::string option = {'\0', '\0', static_cast<char>(rPath.size() >> 8), static_cast<char>(rPath.size() & 0xFF)};
    return option + rPath;
}

// A DIME field as the runtime hands it over: in the context's message
// memory, with a NUL after its bytes.
const char* Field(struct soap* pSoap, const std::string& rBytes)
{
    auto* pField = static_cast<char*>(soap_malloc(pSoap, rBytes.size() + 1));
    std::memcpy(pField, rBytes.data(), rBytes.size());
    pField[rBytes.size()] = '\0';
    return pField;
}

using tandriltest::FolderEntries;

bool Exists(const std::string& rPath)
{
    struct stat info{};
    return ::stat(rPath.c_str(), &info) == 0;
}

// A pending download's status, listed under pKey in the global status list.
joxmaintenance::CommandStatusPtr AddPendingFetch(const char* pKey)
{
    auto pStatus =
        boost::make_shared<joxmaintenance::CommandStatus>(pKey, "", joxmaintenance::ct_fetchlog, joxmaintenance::cs_pending);
    joxmaintenance::LockForWrite(joxmaintenance::GlobalCommandStatusList())->Add(pStatus);
    return pStatus;
}

class DimeCallbacksTest : public ::testing::Test
{
protected:
    DimeCallbacksTest()
        : mTarget(mFolder.Path())
    {
        mpSoap->user = &mTarget;
    }
    ~DimeCallbacksTest() override
    {
        soap_destroy(mpSoap);
        soap_end(mpSoap);
        soap_free(mpSoap);
    }

    // One attachment: open, the pieces, close; the first failing result.
    int Stream(const std::string& rOptionPath, const std::vector<std::string>& rPieces)
    {
        void* pHandle = CallbackDimeWriteOpen(mpSoap, "cid:1", "application/zip", Field(mpSoap, Option(rOptionPath)));
        if (!pHandle)
            return mpSoap->error;
        int result = SOAP_OK;
        for (const std::string& rPiece : rPieces)
        {
            result = CallbackDimeWrite(mpSoap, pHandle, rPiece.data(), rPiece.size());
            if (result != SOAP_OK)
                break;
        }
        CallbackDimeWriteClose(mpSoap, pHandle);
        return result;
    }

    // Opens an attachment named rName for rTarget, made the context's target.
    void* OpenInto(DownloadTarget& rTarget, const std::string& rName)
    {
        mpSoap->user = &rTarget;
        return CallbackDimeWriteOpen(mpSoap, "cid:1", "t", Field(mpSoap, Option(rName)));
    }

    tandriltest::TempDir mFolder;
    DownloadTarget mTarget;
    struct soap* mpSoap = soap_new();
    maintenancetest::LogCapture mLog;
};

TEST_F(DimeCallbacksTest, OptionsMissingOrTooShort)
{
    EXPECT_EQ(nullptr, CallbackDimeWriteOpen(mpSoap, "cid:1", "t", nullptr));
    EXPECT_EQ(SOAP_DIME_ERROR, mpSoap->error);
    ASSERT_EQ(1u, mLog.GetRecords().size());
    EXPECT_EQ("CallbackDimeWriteOpen - !pDimeOption. \n Abort file streaming.", mLog.GetRecords()[0].mMessage);
    EXPECT_EQ(3, mLog.GetRecords()[0].mLevel);
    EXPECT_EQ("joxwsstreaming::CallbackDimeWriteOpen", mLog.GetRecords()[0].mFunction);

    mpSoap->error = SOAP_OK;
    EXPECT_EQ(nullptr, CallbackDimeWriteOpen(mpSoap, "cid:1", "t", Field(mpSoap, Option("ab"))));
    EXPECT_EQ(SOAP_EOF, mpSoap->error);
    EXPECT_EQ(1u, mLog.GetRecords().size());
    EXPECT_TRUE(mTarget.Commit());
    EXPECT_TRUE(mTarget.GetCommittedPaths().empty());
}

// The option's length is the server's word: only bytes the field holds are
// read (the sanitizer build reports any other read), and a field that does
// not hold the name it declares is refused before anything is written.
TEST_F(DimeCallbacksTest, MalformedOptionFieldsAreRefusedWithinTheirBytes)
{
    const struct
    {
        std::string mField;
        const char* mpDetail;
    } cases[] = {
        {std::string("\0", 1), "the option field is too short to name a file"},
        {std::string("\0\0\0", 3), "the option field is too short to name a file"},
        {std::string("\0\0\0\x01" "a", 5), "the option field is too short to name a file"},
        {std::string("\0\0\xFF\xFF" "ab", 6), "the file name's declared length (65535 bytes) disagrees with the option field"},
        {std::string("\0\0\0\x0A" "abcdef", 10), "the file name's declared length (10 bytes) disagrees with the option field"},
        {std::string("\0\0\0\x05" "a\0b.z", 9), "the file name's declared length (5 bytes) disagrees with the option field"},
        {std::string("\0\0\0\x02" "ab", 6), "the option's file name is shorter than three bytes"},
    };
    for (const auto& rCase : cases)
    {
        mpSoap->error = SOAP_OK;
        EXPECT_EQ(nullptr, CallbackDimeWriteOpen(mpSoap, "cid:1", "t", Field(mpSoap, rCase.mField)));
        EXPECT_EQ(SOAP_EOF, mpSoap->error);
        ASSERT_NE(nullptr, *soap_faultstring(mpSoap));
        EXPECT_STREQ("Refused the downloaded collection: malformed DIME option", *soap_faultstring(mpSoap));
        ASSERT_NE(nullptr, *soap_faultdetail(mpSoap));
        EXPECT_STREQ(rCase.mpDetail, *soap_faultdetail(mpSoap));
    }
    EXPECT_EQ(0u, mTarget.GetPendingCount());
    // A field that holds more than the first option: the first option's name.
    ASSERT_EQ(SOAP_OK, Stream("a.zip", {"data"}));
    mpSoap->error = SOAP_OK;
    void* pHandle =
        CallbackDimeWriteOpen(mpSoap, "cid:2", "t", Field(mpSoap, Option("b.zip") + std::string("\0\x01\0\x01x", 5)));
    ASSERT_NE(nullptr, pHandle);
    CallbackDimeWriteClose(mpSoap, pHandle);
    ASSERT_TRUE(mTarget.Commit());
    EXPECT_EQ((std::vector<std::string>{mFolder.File("a.zip"), mFolder.File("b.zip")}), mTarget.GetCommittedPaths());
}

TEST_F(DimeCallbacksTest, OnlyTheLastPathComponentIsUsed)
{
    const struct
    {
        const char* mpOption;
        const char* mpName;
    } cases[] = {{"/home/op/logs/a.zip", "a.zip"},
                 {"../../.profile", ".profile"},
                 {"/etc/cron.d/evil", "evil"},
                 {"..\\..\\win.ini", "win.ini"},
                 {"C:\\Logs\\sub/mixed.zip", "mixed.zip"},
                 {"plain.zip", "plain.zip"},
                 // ISO 8859-1 on the wire, the file system's encoding on disk
                 {"D:\\caf\xE9.zip", "caf\xC3\xA9.zip"}};
    for (const auto& rCase : cases)
    {
        ASSERT_EQ(SOAP_OK, Stream(rCase.mpOption, {"data"})) << rCase.mpOption;
        ASSERT_TRUE(mTarget.Commit());
        EXPECT_EQ(mFolder.File(rCase.mpName), mTarget.GetCommittedPaths().back());
        EXPECT_EQ("data", tandriltest::ReadFile(mFolder.File(rCase.mpName))) << rCase.mpOption;
    }
    EXPECT_FALSE(Exists(mFolder.Path() + "/../.profile"));
}

TEST_F(DimeCallbacksTest, NamesWithNothingUsableAreRefused)
{
    for (const char* pOption : {"/home/op/..", "sub/.", "trailing/", "..\\", "..."})
    {
        mpSoap->error = SOAP_OK;
        const int result = Stream(pOption, {"data"});
        if (std::string(pOption) == "...")
        {
            EXPECT_EQ(SOAP_OK, result); // an odd but plain file name
            continue;
        }
        EXPECT_EQ(SOAP_DIME_ERROR, result) << pOption;
    }
    EXPECT_TRUE(mTarget.Commit());
    EXPECT_EQ(1u, mTarget.GetCommittedPaths().size());
}

TEST_F(DimeCallbacksTest, WithoutATargetNothingIsWritten)
{
    mpSoap->user = nullptr;
    EXPECT_EQ(SOAP_DIME_ERROR, Stream("a.zip", {"data"}));
    EXPECT_FALSE(Exists("a.zip"));
}

TEST_F(DimeCallbacksTest, AMissingFolderFailsTheFirstWrite)
{
    DownloadTarget missing(mFolder.File("missing"));
    mpSoap->user = &missing;
    EXPECT_EQ(SOAP_EOF, Stream("x/c.zip", {"data"}));
    const auto records = mLog.GetRecords();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ("CallbackDimeWrite - !nwritten. \n Could not write to file properly. Abort streaming.",
              records[0].mMessage);
    EXPECT_EQ("joxwsstreaming::CallbackDimeWrite", records[0].mFunction);
    EXPECT_FALSE(missing.Commit());
}

TEST_F(DimeCallbacksTest, AZeroByteAttachmentGivesAnEmptyFile)
{
    ASSERT_EQ(SOAP_OK, Stream("empty.zip", {}));
    ASSERT_TRUE(mTarget.Commit());
    EXPECT_TRUE(Exists(mFolder.File("empty.zip")));
    EXPECT_EQ("", tandriltest::ReadFile(mFolder.File("empty.zip")));
}

TEST_F(DimeCallbacksTest, AnExistingFileIsNeverReplaced)
{
    tandriltest::WriteFile(mFolder.File("c.zip"), "complete old collection");
    ASSERT_EQ(SOAP_OK, Stream("c.zip", {"new ", "bytes"}));
    EXPECT_EQ("complete old collection", tandriltest::ReadFile(mFolder.File("c.zip")));
    mTarget.Discard();
    EXPECT_EQ("complete old collection", tandriltest::ReadFile(mFolder.File("c.zip")));

    ASSERT_EQ(SOAP_OK, Stream("c.zip", {"new ", "bytes"}));
    EXPECT_FALSE(mTarget.Commit());
    EXPECT_EQ(mFolder.File("c.zip") + " already exists and was not replaced", mTarget.GetError());
    EXPECT_EQ("complete old collection", tandriltest::ReadFile(mFolder.File("c.zip")));
    // Nothing but the operator's file is left in the folder.
    ASSERT_EQ(SOAP_OK, Stream("d.zip", {"x"}));
    mTarget.Discard();
    EXPECT_FALSE(Exists(mFolder.File("d.zip")));
    EXPECT_EQ(1u, FolderEntries(mFolder.Path()).size());
}

TEST_F(DimeCallbacksTest, FinishedOnlyAfterTheLastBytesReachedTheDisk)
{
    auto pStatus = AddPendingFetch("{full}");
    DownloadTarget keyed(mFolder.Path(), "{full}");
    void* pHandle = OpenInto(keyed, "f.zip");
    ASSERT_NE(nullptr, pHandle);
    // The pieces are buffered; a file size limit makes the final flush fail
    // as a full disk would.
    const std::string piece(1000, 'f');
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(SOAP_OK, CallbackDimeWrite(mpSoap, pHandle, piece.data(), piece.size()));
    struct rlimit previous{};
    ASSERT_EQ(0, ::getrlimit(RLIMIT_FSIZE, &previous));
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = previous;
    limited.rlim_cur = 1000;
    ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &limited));
    CallbackDimeWriteClose(mpSoap, pHandle);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ("Started streaming of file", pStatus->GetProgressDetails());
    EXPECT_EQ(joxmaintenance::cs_pending, pStatus->GetCommandStatus());
    EXPECT_EQ(SOAP_EOF, mpSoap->error);
    ASSERT_NE(nullptr, *soap_faultdetail(mpSoap));
    EXPECT_STREQ("File too large", *soap_faultdetail(mpSoap));
    EXPECT_EQ(std::make_pair(mFolder.File("f.zip"), std::string("File too large")), keyed.GetFileFailure());
    EXPECT_FALSE(keyed.Commit());
    EXPECT_EQ(mFolder.File("f.zip") + ": File too large", keyed.GetError());
    EXPECT_TRUE(FolderEntries(mFolder.Path()).empty());
}

TEST_F(DimeCallbacksTest, ProgressGoesToTheStatusUnderTheLookupKey)
{
    auto pStatus = AddPendingFetch("{dl}");
    DownloadTarget keyed(mFolder.Path(), "{dl}");
    void* pHandle = OpenInto(keyed, "k.zip");
    ASSERT_NE(nullptr, pHandle);
    EXPECT_EQ("Started streaming of file", pStatus->GetProgressDetails());
    CallbackDimeWriteClose(mpSoap, pHandle);
    EXPECT_EQ("Finished streaming of file", pStatus->GetProgressDetails());
    EXPECT_EQ(joxmaintenance::cs_finished, pStatus->GetCommandStatus());
    EXPECT_TRUE(keyed.Commit());

    CallbackDimeWriteClose(mpSoap, nullptr);
    EXPECT_EQ("CallbackDimeWriteClose - !p_async_handler. \n Could not close written file properly.",
              mLog.GetRecords().back().mMessage);
}

} // namespace
