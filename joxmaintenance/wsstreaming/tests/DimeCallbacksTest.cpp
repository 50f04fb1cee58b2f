// The download callbacks on their own, driven as the runtime drives them.
#include "LogCapture.h"
#include "TempDir.h"

#include <joxmaintenance/CommandType.h>
#include <joxmaintenance/LockedCommandStatusList.h>
#include <joxwsstreaming/DimeCallbacks.h>
#include <joxwsstreaming/DownloadTarget.h>

#include <stdsoap2.h>

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <sys/stat.h>

using namespace joxwsstreaming;

namespace {

std::string Option(const std::string& rPath)
{
    std::string option = {'\0', '\0', static_cast<char>(rPath.size() >> 8), static_cast<char>(rPath.size() & 0xFF)};
    return option + rPath;
}

bool Exists(const std::string& rPath)
{
    struct stat info{};
    return ::stat(rPath.c_str(), &info) == 0;
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
        const std::string option = Option(rOptionPath);
        void* pHandle = CallbackDimeWriteOpen(mpSoap, "cid:1", "application/zip", option.c_str());
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
    const std::string option = Option("ab");
    EXPECT_EQ(nullptr, CallbackDimeWriteOpen(mpSoap, "cid:1", "t", option.c_str()));
    EXPECT_EQ(SOAP_EOF, mpSoap->error);
    EXPECT_EQ(1u, mLog.GetRecords().size());
    EXPECT_TRUE(mTarget.Commit());
    EXPECT_TRUE(mTarget.GetCommittedPaths().empty());
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
                 {"plain.zip", "plain.zip"}};
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

TEST_F(DimeCallbacksTest, AnExistingFileIsReplacedOnlyOnCommit)
{
    tandriltest::WriteFile(mFolder.File("c.zip"), "complete old collection");
    ASSERT_EQ(SOAP_OK, Stream("c.zip", {"new ", "bytes"}));
    EXPECT_EQ("complete old collection", tandriltest::ReadFile(mFolder.File("c.zip")));
    mTarget.Discard();
    EXPECT_EQ("complete old collection", tandriltest::ReadFile(mFolder.File("c.zip")));

    ASSERT_EQ(SOAP_OK, Stream("c.zip", {"new ", "bytes"}));
    ASSERT_TRUE(mTarget.Commit());
    EXPECT_EQ("new bytes", tandriltest::ReadFile(mFolder.File("c.zip")));
    // Nothing but the collection is left in the folder.
    ASSERT_EQ(SOAP_OK, Stream("d.zip", {"x"}));
    mTarget.Discard();
    EXPECT_FALSE(Exists(mFolder.File("d.zip")));
}

TEST_F(DimeCallbacksTest, ProgressGoesToTheStatusUnderTheLookupKey)
{
    auto pStatus = boost::make_shared<joxmaintenance::CommandStatus>("{dl}", "", joxmaintenance::ct_fetchlog,
                                                                     joxmaintenance::cs_pending);
    joxmaintenance::LockForWrite(joxmaintenance::GlobalCommandStatusList())->Add(pStatus);
    DownloadTarget keyed(mFolder.Path(), "{dl}");
    mpSoap->user = &keyed;
    const std::string option = Option("k.zip");
    void* pHandle = CallbackDimeWriteOpen(mpSoap, "cid:1", "t", option.c_str());
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
