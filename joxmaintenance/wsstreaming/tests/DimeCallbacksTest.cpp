// The download callbacks on their own, driven as the runtime drives them.
#include "FolderEntries.h"
#include "LogCapture.h"
#include "TempDir.h"

#include <joxmaintenance/CommandType.h>
#include <joxmaintenance/LockedCommandStatusList.h>
#include <joxwsstreaming/CollectionName.h>
#include <joxwsstreaming/DimeCallbacks.h>
#include <joxwsstreaming/DownloadProgress.h>
#include <joxwsstreaming/DownloadTarget.h>

#include <stdsoap2.h>

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

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

std::size_t Padding(std::size_t length)
{
    return (4 - length % 4) % 4;
}

// A DIME record as a server sends it: the 12-byte header, then the option,
// id and type fields and the data, each padded to four bytes.
std::string Record(unsigned char flags, const std::string& rId, const std::string& rType, const std::string& rOptions,
                   const std::string& rData)
{
    const auto put16 = [](std::string& rOut, std::size_t value) {
        rOut += static_cast<char>((value >> 8) & 0xFF);
        rOut += static_cast<char>(value & 0xFF);
    };
    const auto padded = [](const std::string& rField) { return rField + std::string(Padding(rField.size()), '\0'); };
    std::string record{static_cast<char>(SOAP_DIME_VERSION | (flags & 0x07)), static_cast<char>(SOAP_DIME_MEDIA)};
    put16(record, rOptions.size());
    put16(record, rId.size());
    put16(record, rType.size());
    put16(record, rData.size() >> 16);
    put16(record, rData.size() & 0xFFFF);
    return record + padded(rOptions) + padded(rId) + padded(rType) + padded(rData);
}

// The bytes of a reply, as the runtime receives them: at most mPieceBytes a
// receive.
struct ScriptedBytes
{
    std::string mBytes;
    std::size_t mPieceBytes = 0;
    std::size_t mAt = 0;
};

ScriptedBytes* gpScripted = nullptr;

size_t ReceiveScripted(struct soap*, char* pBuffer, size_t length)
{
    const std::size_t taken = std::min({length, gpScripted->mPieceBytes, gpScripted->mBytes.size() - gpScripted->mAt});
    std::memcpy(pBuffer, gpScripted->mBytes.data() + gpScripted->mAt, taken);
    gpScripted->mAt += taken;
    return taken;
}

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
    {
        Refer("cid:1");
        NewReply();
    }
    ~DimeCallbacksTest() override
    {
        soap_destroy(mpSoap);
        soap_end(mpSoap);
        soap_free(mpSoap);
    }

    // The reply's file value refers to the record pHref names, as the
    // runtime notes it while it reads the envelope.
    void Refer(const char* pHref)
    {
        std::snprintf(mpSoap->href, sizeof mpSoap->href, "%s", pHref);
        ASSERT_EQ(SOAP_OK, soap_attachment_forward(mpSoap, &mpReferred, &mReferredSize, &mpReferredId,
                                                   &mpReferredType, &mpReferredOptions));
    }

    // A new target for the next reply, made the context's.
    void NewReply()
    {
        mpTarget = std::make_unique<DownloadTarget>(mFolder.Path());
        mpSoap->user = mpTarget.get();
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

    // Has the runtime read rRecords, the DIME records that follow a SOAP
    // envelope of envelopeBytes whose file value refers to pHref, with the
    // callbacks installed, as receives of at most pieceBytes deliver them;
    // the runtime's result. The runtime takes the reference away once it
    // read the record.
    int ReadRecords(const char* pHref, const std::string& rRecords, std::size_t pieceBytes,
                    std::size_t envelopeBytes = 37)
    {
        Refer(pHref);
        ScriptedBytes scripted{std::string(envelopeBytes + Padding(envelopeBytes), 'e') + rRecords, pieceBytes};
        gpScripted = &scripted;
        mpSoap->frecv = ReceiveScripted;
        mpSoap->fdimewriteopen = CallbackDimeWriteOpen;
        mpSoap->fdimewrite = CallbackDimeWrite;
        mpSoap->fdimewriteclose = CallbackDimeWriteClose;
        // The runtime at the start of the envelope's data, which it skips.
        mpSoap->mode |= SOAP_ENC_DIME;
        mpSoap->dime.size = envelopeBytes;
        mpSoap->count = 0;
        mpSoap->bufidx = mpSoap->buflen = 0;
        mpSoap->error = SOAP_OK;
        const int result = soap_getdime(mpSoap);
        gpScripted = nullptr;
        return result;
    }

    // Opens an attachment named rName for rTarget, made the context's target.
    void* OpenInto(DownloadTarget& rTarget, const std::string& rName)
    {
        mpSoap->user = &rTarget;
        return CallbackDimeWriteOpen(mpSoap, "cid:1", "t", Field(mpSoap, Option(rName)));
    }

    tandriltest::TempDir mFolder;
    struct soap* mpSoap = soap_new();
    std::unique_ptr<DownloadTarget> mpTarget;
    maintenancetest::LogCapture mLog;
    // Where the runtime would put what it resolves for the file value.
    unsigned char* mpReferred = nullptr;
    int mReferredSize = 0;
    char* mpReferredId = nullptr;
    char* mpReferredType = nullptr;
    char* mpReferredOptions = nullptr;
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
    EXPECT_TRUE(mpTarget->Commit());
    EXPECT_TRUE(mpTarget->GetCommittedPaths().empty());
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
    EXPECT_EQ(0u, mpTarget->GetPendingCount());
    // A field that holds more than the first option: the first option's name.
    mpSoap->error = SOAP_OK;
    void* pHandle =
        CallbackDimeWriteOpen(mpSoap, "cid:1", "t", Field(mpSoap, Option("b.zip") + std::string("\0\x01\0\x01x", 5)));
    ASSERT_NE(nullptr, pHandle);
    CallbackDimeWriteClose(mpSoap, pHandle);
    ASSERT_TRUE(mpTarget->Commit());
    EXPECT_EQ((std::vector<std::string>{mFolder.File("b.zip")}), mpTarget->GetCommittedPaths());
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
        NewReply();
        ASSERT_EQ(SOAP_OK, Stream(rCase.mpOption, {"data"})) << rCase.mpOption;
        ASSERT_TRUE(mpTarget->Commit());
        EXPECT_EQ(mFolder.File(rCase.mpName), mpTarget->GetCommittedPaths().back());
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
    EXPECT_TRUE(mpTarget->Commit());
    EXPECT_EQ(1u, mpTarget->GetCommittedPaths().size());
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
    ASSERT_TRUE(mpTarget->Commit());
    EXPECT_TRUE(Exists(mFolder.File("empty.zip")));
    EXPECT_EQ("", tandriltest::ReadFile(mFolder.File("empty.zip")));
}

TEST_F(DimeCallbacksTest, AnExistingFileIsNeverReplaced)
{
    tandriltest::WriteFile(mFolder.File("c.zip"), "complete old collection");
    ASSERT_EQ(SOAP_OK, Stream("c.zip", {"new ", "bytes"}));
    EXPECT_EQ("complete old collection", tandriltest::ReadFile(mFolder.File("c.zip")));
    mpTarget->Discard();
    EXPECT_EQ("complete old collection", tandriltest::ReadFile(mFolder.File("c.zip")));

    NewReply();
    ASSERT_EQ(SOAP_OK, Stream("c.zip", {"new ", "bytes"}));
    EXPECT_FALSE(mpTarget->Commit());
    EXPECT_EQ(mFolder.File("c.zip") + " already exists and was not replaced", mpTarget->GetError());
    EXPECT_EQ("complete old collection", tandriltest::ReadFile(mFolder.File("c.zip")));
    // Nothing but the operator's file is left in the folder.
    NewReply();
    ASSERT_EQ(SOAP_OK, Stream("d.zip", {"x"}));
    mpTarget->Discard();
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

namespace {

// A file name as the server sends it, and the local name it gets (empty:
// refused).
struct NameCase
{
    const char* mpWire;
    const char* mpLocal;
};

// The local file system's names are UTF-8 here.
const NameCase kNameCases[] = {
    {"caf\xC3\xA9 cr\xC3\xA8me.tar.gz", "caf\xC3\xA9 cr\xC3\xA8me.tar.gz"}, // UTF-8
    {"R\xC3\xA9gie \xE2\x80\x93 \xE2\x82\xAC \xF0\x9F\x93\xA6.zip", "R\xC3\xA9gie \xE2\x80\x93 \xE2\x82\xAC \xF0\x9F\x93\xA6.zip"},
    {"caf\xE9 cr\xE8me.tar.gz", "caf\xC3\xA9 cr\xC3\xA8me.tar.gz"},         // Windows-1252
    {"a\xC3.zip", "a\xC3\x83.zip"},                                          // cut UTF-8: Windows-1252
    {"\xC0\xAF.zip", "\xC3\x80\xC2\xAF.zip"},                                // overlong form: Windows-1252
    {"Log \x96 1 \x80.zip", "Log \xE2\x80\x93 1 \xE2\x82\xAC.zip"},            // en dash, euro sign
    {"\x84quoted\x93 \x8A\x9F\x99.zip", "\xE2\x80\x9Equoted\xE2\x80\x9C \xC5\xA0\xC5\xB8\xE2\x84\xA2.zip"},
    {".hidden.zip", ".hidden.zip"},
    {"a.zip.0123456789abcdef.part", "a.zip.0123456789abcdef.part"},          // not hidden: not a temporary name
    {"line\nbreak.zip", ""},
    {"tab\t.zip", ""},
    {"del\x7F.zip", ""},
    {"next line \xC2\x85.zip", ""},                                          // U+0085 in UTF-8
    {"ellipsis \x85.zip", "ellipsis \xE2\x80\xA6.zip"},                        // not U+0085 in Windows-1252
    {"undefined \x81.zip", ""},                                              // bytes Windows-1252 leaves undefined
    {"undefined \x8D\xE9.zip", ""},
    {"undefined \x8F\xE9.zip", ""},
    {"undefined \x90\xE9.zip", ""},
    {"undefined \x9D\xE9.zip", ""},
    {"coll\xE2\x80\xAEpiz.exe", ""},                                         // right-to-left override
    {"\xEF\xBB\xBFlog.zip", ""},                                              // leading byte-order mark
    {"log\xEF\xBB\xBF.zip", ""},                                              // zero-width no-break space
    {"zero\xE2\x80\x8Bwidth.zip", ""},                                        // zero-width space
    {"join\xE2\x80\x8D.zip", ""},                                             // zero-width joiner
    {"mark\xE2\x80\x8F.zip", ""},                                             // right-to-left mark
    {"\xE2\x81\xA6isolate\xE2\x81\xA9.zip", ""},                               // isolates
    {"arabic mark \xD8\x9C.zip", ""},                                        // U+061C
    {"tag \xF3\xA0\x80\x81.zip", ""},                                          // U+E0001, outside the BMP
    {"cr\r.zip", ""},
    {"   ", ""},                                                             // blanks only
    {"sub/ \xC2\xA0", ""},                                                    // U+00A0 in UTF-8
    {"\xA0\xA0\xA0", ""},                                                      // U+00A0 in Windows-1252
    {" a.zip ", " a.zip "},
    {".c.zip.0123456789abcdef.part", ""},                                    // a download's temporary file
    {"sub/.x.ABCDEF0123456789.part", ""},
};

} // namespace

TEST_F(DimeCallbacksTest, NamesAreReadAsUtf8ElseAsWindows1252AndControlsAndFormatCharactersAreRefused)
{
    for (const NameCase& rCase : kNameCases)
        EXPECT_EQ(rCase.mpLocal, DownloadTarget::LocalFileName(rCase.mpWire)) << rCase.mpWire;

    // Through the callbacks: a refused name leaves nothing; an accepted one
    // is the name the operator sees, so an existing file of that name is
    // found and kept.
    for (const NameCase& rCase : kNameCases)
    {
        NewReply();
        mpSoap->error = SOAP_OK;
        const int result = Stream(rCase.mpWire, {"data"});
        if (*rCase.mpLocal)
        {
            EXPECT_EQ(SOAP_OK, result) << rCase.mpWire;
            continue;
        }
        EXPECT_EQ(SOAP_DIME_ERROR, result) << rCase.mpWire;
        EXPECT_STREQ("Refused the file name of the downloaded collection", *soap_faultstring(mpSoap));
        // The detail names it as names are shown, never with its raw controls.
        ASSERT_NE(nullptr, *soap_faultdetail(mpSoap));
        const QString detail = QString::fromUtf8(*soap_faultdetail(mpSoap));
        EXPECT_TRUE(detail.startsWith(QLatin1Char('"') + CollectionName::Readable(rCase.mpWire) + QStringLiteral("\" ")))
            << detail.toStdString();
        EXPECT_EQ(0u, mpTarget->GetPendingCount()) << rCase.mpWire;
    }
    NewReply();
    tandriltest::WriteFile(mFolder.File("caf\xC3\xA9 cr\xC3\xA8me.tar.gz"), "operator's file");
    ASSERT_EQ(SOAP_OK, Stream("/srv/caf\xC3\xA9 cr\xC3\xA8me.tar.gz", {"new"}));
    EXPECT_FALSE(mpTarget->Commit());
    EXPECT_EQ(mFolder.File("caf\xC3\xA9 cr\xC3\xA8me.tar.gz") + " already exists and was not replaced",
              mpTarget->GetError());
    EXPECT_EQ("operator's file", tandriltest::ReadFile(mFolder.File("caf\xC3\xA9 cr\xC3\xA8me.tar.gz")));
    EXPECT_EQ(1u, FolderEntries(mFolder.Path()).size());
}

// A reply delivers one collection: the record its file value refers to. The
// other records are read past, writing nothing.
TEST_F(DimeCallbacksTest, OnlyTheReferredRecordIsStored)
{
    const auto open = [this](const char* pId, const std::string& rName) {
        return CallbackDimeWriteOpen(mpSoap, pId, "t", Field(mpSoap, Option(rName)));
    };
    const auto write = [this](void* pHandle, const std::string& rData) {
        EXPECT_EQ(SOAP_OK, CallbackDimeWrite(mpSoap, pHandle, rData.data(), rData.size()));
        CallbackDimeWriteClose(mpSoap, pHandle);
    };
    write(open("cid:0", "before.zip"), "skipped");
    write(open(nullptr, "anonymous.zip"), "skipped");
    write(CallbackDimeWriteOpen(mpSoap, "cid:2", "t", nullptr), "skipped, without options");
    EXPECT_EQ(0u, mpTarget->GetPendingCount());
    write(open("1", "wanted.zip"), "wanted"); // "cid:1" refers to the record "1"
    write(open("cid:1", "again.zip"), "a second record of the same identifier");
    write(open("cid:3", "after.zip"), "skipped");
    EXPECT_EQ(SOAP_OK, mpSoap->error);
    ASSERT_TRUE(mpTarget->Commit());
    EXPECT_EQ((std::vector<std::string>{"wanted.zip"}), FolderEntries(mFolder.Path()));
    EXPECT_EQ("wanted", tandriltest::ReadFile(mFolder.File("wanted.zip")));
}

// The collection's bytes are counted as they arrive, other records' not; its
// size is known only from a record that is not chunked.
TEST_F(DimeCallbacksTest, ProgressCountsTheCollectionsBytesAndItsSizeWhenDeclared)
{
    const struct
    {
        const char* mpName;
        char mFlags;
        std::size_t mRecordSize;
        std::int64_t mTotal;
    } cases[] = {
        {"whole.zip", 0, 7, 7},
        {"chunked.zip", SOAP_DIME_CF, 3, -1},
        {"empty.zip", 0, 0, 0},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        NewReply();
        DownloadProgress progress;
        mpTarget->SetProgress(&progress);
        void* pSkipped = CallbackDimeWriteOpen(mpSoap, "cid:0", "t", Field(mpSoap, Option("other.zip")));
        ASSERT_NE(nullptr, pSkipped);
        EXPECT_EQ(SOAP_OK, CallbackDimeWrite(mpSoap, pSkipped, "skipped", 7));
        CallbackDimeWriteClose(mpSoap, pSkipped);
        EXPECT_EQ(0u, progress.GetReceived());
        EXPECT_EQ(-1, progress.GetTotal());

        mpSoap->dime.flags = rCase.mFlags;
        mpSoap->dime.size = rCase.mRecordSize;
        void* pHandle = CallbackDimeWriteOpen(mpSoap, "cid:1", "t", Field(mpSoap, Option(rCase.mpName)));
        ASSERT_NE(nullptr, pHandle);
        EXPECT_EQ(rCase.mTotal, progress.GetTotal());
        std::uint64_t written = 0;
        for (const std::string piece : {"abc", "defg"})
        {
            if (written + piece.size() > rCase.mRecordSize && rCase.mFlags == 0)
                break;
            ASSERT_EQ(SOAP_OK, CallbackDimeWrite(mpSoap, pHandle, piece.data(), piece.size()));
            written += piece.size();
            EXPECT_EQ(written, progress.GetReceived());
        }
        CallbackDimeWriteClose(mpSoap, pHandle);
        EXPECT_EQ(rCase.mTotal, progress.GetTotal());
        EXPECT_TRUE(mpTarget->Commit());
    }
}

// Every record's id, type and options stay in the context's memory until the
// call ends: a record may hold only so much of them, and a reply only so many
// records that start a payload.
TEST_F(DimeCallbacksTest, RecordHeadersAreBounded)
{
    const auto refusedWith = [this](const std::string& rDetail) {
        EXPECT_STREQ("Refused the reply's DIME records", *soap_faultstring(mpSoap));
        ASSERT_NE(nullptr, *soap_faultdetail(mpSoap));
        EXPECT_NE(std::string::npos, std::string(*soap_faultdetail(mpSoap)).find(rDetail)) << *soap_faultdetail(mpSoap);
    };
    // Too many records.
    for (std::size_t i = 0; i < DownloadTarget::kMaxRecords; ++i)
    {
        void* pHandle = CallbackDimeWriteOpen(mpSoap, Field(mpSoap, "cid:x"), nullptr, nullptr);
        ASSERT_NE(nullptr, pHandle) << i;
        CallbackDimeWriteClose(mpSoap, pHandle);
    }
    EXPECT_EQ(nullptr, CallbackDimeWriteOpen(mpSoap, Field(mpSoap, "cid:1"), nullptr, Field(mpSoap, Option("a.zip"))));
    EXPECT_EQ(SOAP_DIME_ERROR, mpSoap->error);
    refusedWith("the reply carries more than 16 DIME records");

    // One record whose fields are too large.
    NewReply();
    mpSoap->error = SOAP_OK;
    const std::string large(3000, 'x');
    EXPECT_EQ(nullptr, CallbackDimeWriteOpen(mpSoap, Field(mpSoap, "cid:1" + large), Field(mpSoap, large),
                                             Field(mpSoap, Option("a.zip" + large))));
    refusedWith("take 9020 bytes, more than 8192");
    EXPECT_EQ(0u, mpTarget->GetPendingCount());

    // Chunk records continue the stored attachment's payload whatever fields
    // they repeat: they cost no record, only the bound on one record's
    // fields applies. A refusal is the reply's fault, not the local file's.
    NewReply();
    mpSoap->error = SOAP_OK;
    void* pHandle = CallbackDimeWriteOpen(mpSoap, "cid:1", "t", Field(mpSoap, Option("chunked.zip")));
    ASSERT_NE(nullptr, pHandle);
    for (std::size_t i = 0; i < 10 * DownloadTarget::kMaxRecords; ++i)
    {
        mpSoap->dime.id = Field(mpSoap, "cid:1");
        mpSoap->dime.options = Field(mpSoap, Option("chunk option"));
        ASSERT_EQ(SOAP_OK, CallbackDimeWrite(mpSoap, pHandle, "c", 1)) << i;
    }
    mpSoap->dime.options = Field(mpSoap, Option("chunk option" + large + large + large));
    EXPECT_EQ(SOAP_DIME_ERROR, CallbackDimeWrite(mpSoap, pHandle, "c", 1));
    refusedWith("bytes, more than 8192");
    EXPECT_EQ((std::pair<std::string, std::string>()), mpTarget->GetFileFailure());
    CallbackDimeWriteClose(mpSoap, pHandle);
    EXPECT_FALSE(mpTarget->Commit());
    EXPECT_TRUE(FolderEntries(mFolder.Path()).empty());
}

// The reply's DIME framing is counted as the server sent it: each record's
// 12-byte header, its fields as their lengths declare them and all padding,
// wherever the receives split the records. Among the records: chunk records
// of 1 KiB that repeat a long id, the type and a 255-byte name.
TEST_F(DimeCallbacksTest, TheFramingCountedIsTheFramingSent)
{
    const std::string id = "cid:0b5e3e1c-5a8d-4c4e-9a53-7d3f1c2b9e40";
    const std::string type = "application/octet-stream";
    const std::string option = Option(std::string(251, 'n') + ".zip");
    const std::string data(5 * 1024 + 7, 'd');
    std::vector<std::string> pieces = {data.substr(0, 1023)};
    for (std::size_t at = 1023; at + 1024 < data.size(); at += 1024)
        pieces.push_back(data.substr(at, 1024));
    const std::string rest = data.substr(1023 + 1024 * (pieces.size() - 1));
    std::string reply = Record(SOAP_DIME_MB, "cid:zero", "application/zip", Option("other.zip"), "other");
    for (const std::string& rPiece : pieces)
        reply += Record(SOAP_DIME_CF, id, type, option, rPiece);
    reply += Record(SOAP_DIME_CF, "cid:x", "t", Option("ab"), rest.substr(0, 5)) +
             Record(SOAP_DIME_CF, "", "", "", rest.substr(5, 1)) + Record(SOAP_DIME_CF, "", "", "", "") +
             Record(0, "", "", "", rest.substr(6)) + Record(SOAP_DIME_ME, "cid:two", "t", Option("after.zip"), "after");
    // All but the data: the collection's, and the five bytes of each record
    // read past.
    const std::uint64_t framing = reply.size() - data.size() - 2 * 5;
    for (const std::size_t pieceBytes : {std::size_t{1}, std::size_t{7}, std::size_t{1000}, std::size_t{SOAP_BUFLEN}})
    {
        SCOPED_TRACE(pieceBytes);
        NewReply();
        ASSERT_EQ(SOAP_OK, ReadRecords(id.c_str(), reply, pieceBytes));
        EXPECT_EQ(framing, mpTarget->GetFramingBytes());
        ASSERT_TRUE(mpTarget->Commit());
        EXPECT_TRUE(tandriltest::ReadFile(mFolder.File(option.substr(4))) == data);
        std::remove(mFolder.File(option.substr(4)).c_str());
    }
}

// One record's id, type and options may take 8 KiB as sent, padding
// included, whether the record is the first after the envelope, a later one
// or a chunk record.
TEST_F(DimeCallbacksTest, TheBoundOnOneRecordsFieldsCountsWhatWasSent)
{
    // 12 bytes of id and type; 4 + 8176 of options make 8192 in all.
    const auto fields = [](std::size_t nameBytes) { return Option(std::string(nameBytes, 'o')); };
    const auto wanted = [](unsigned char flags) { return Record(flags, "cid:1", "t", Option("c.zip"), "data"); };
    const struct
    {
        const char* mpName;
        std::function<std::string(const std::string&)> mRecords;
    } places[] = {
        {"the first record",
         [&](const std::string& rOptions) { return Record(0, "cid:z", "t", rOptions, "x") + wanted(SOAP_DIME_ME); }},
        {"a later record", [&](const std::string& rOptions) {
             return wanted(0) + Record(SOAP_DIME_ME, "cid:z", "t", rOptions, "x");
         }},
        {"a chunk record", [&](const std::string& rOptions) {
             return wanted(SOAP_DIME_CF) + Record(SOAP_DIME_ME, "cid:z", "t", rOptions, "x");
         }},
    };
    for (const auto& rPlace : places)
    {
        SCOPED_TRACE(rPlace.mpName);
        NewReply();
        EXPECT_EQ(SOAP_OK, ReadRecords("cid:1", rPlace.mRecords(fields(8176)), 1000));
        EXPECT_TRUE(mpTarget->Commit());
        EXPECT_EQ(1u, mpTarget->GetCommittedPaths().size());
        std::remove(mFolder.File("c.zip").c_str());

        NewReply();
        EXPECT_EQ(SOAP_DIME_ERROR, ReadRecords("cid:1", rPlace.mRecords(fields(8177)), 1000));
        EXPECT_STREQ("Refused the reply's DIME records", *soap_faultstring(mpSoap));
        ASSERT_NE(nullptr, *soap_faultdetail(mpSoap));
        EXPECT_STREQ("a record's id, type and options take 8196 bytes, more than 8192", *soap_faultdetail(mpSoap));
    }
}

// A commit that fails takes away what it had already moved into place.
TEST(DownloadTargetTest, ACommitIsAllOrNothing)
{
    tandriltest::TempDir folder;
    tandriltest::WriteFile(folder.File("c.zip"), "operator's file");
    const struct
    {
        const char* mpFirst;
        const char* mpSecond;
    } cases[] = {{"new.zip", "c.zip"}, {"dup.zip", "dup.zip"}};
    for (const auto& rCase : cases)
    {
        DownloadTarget target(folder.Path());
        tandriltest::WriteFile(target.Begin(rCase.mpFirst), "first");
        tandriltest::WriteFile(target.Begin(rCase.mpSecond), "second");
        EXPECT_FALSE(target.Commit()) << rCase.mpFirst;
        EXPECT_EQ(folder.File(rCase.mpSecond) + " already exists and was not replaced", target.GetError());
        EXPECT_TRUE(target.GetCommittedPaths().empty());
        EXPECT_EQ((std::vector<std::string>{"c.zip"}), FolderEntries(folder.Path())) << rCase.mpFirst;
        EXPECT_EQ("operator's file", tandriltest::ReadFile(folder.File("c.zip")));
    }
}

TEST(DownloadTargetTest, NumberedNamesKeepTheExtension)
{
    const struct
    {
        const char* mpName;
        const char* mpNumbered;
    } cases[] = {{"collection_1.zip", "collection_1 (2).zip"}, {"logs.tar.gz", "logs (2).tar.gz"},
                 {"v1.2 logs.zip", "v1.2 logs (2).zip"},        {"plain", "plain (2)"},
                 {".hidden", ".hidden (2)"},                   {"caf\xC3\xA9.zip", "caf\xC3\xA9 (2).zip"}};
    for (const auto& rCase : cases)
        EXPECT_EQ(rCase.mpNumbered, DownloadTarget::NumberedName(rCase.mpName, 2));
}

// With free names, a file of the download's name (a collection of another
// server, say) makes the download take the first free numbered name; the
// existing files are kept. Past the highest number the commit fails.
TEST(DownloadTargetTest, AnExistingNameGivesTheFirstFreeNumberedName)
{
    tandriltest::TempDir folder;
    tandriltest::WriteFile(folder.File("collection_1.zip"), "first server");
    tandriltest::WriteFile(folder.File("collection_1 (2).zip"), "second server");
    DownloadTarget target(folder.Path());
    target.SetNameClash(DownloadTarget::NameClash::FreeName);
    tandriltest::WriteFile(target.Begin("collection_1.zip"), "third server");
    ASSERT_TRUE(target.Commit()) << target.GetError();
    EXPECT_EQ((std::vector<std::string>{folder.File("collection_1 (3).zip")}), target.GetCommittedPaths());
    EXPECT_EQ("first server", tandriltest::ReadFile(folder.File("collection_1.zip")));
    EXPECT_EQ("second server", tandriltest::ReadFile(folder.File("collection_1 (2).zip")));
    EXPECT_EQ("third server", tandriltest::ReadFile(folder.File("collection_1 (3).zip")));
    EXPECT_EQ(3u, FolderEntries(folder.Path()).size());

    for (int number = 3; number <= DownloadTarget::kMaxNameNumber; ++number)
        tandriltest::WriteFile(folder.File(DownloadTarget::NumberedName("c.zip", number)), "taken");
    tandriltest::WriteFile(folder.File("c.zip"), "taken");
    tandriltest::WriteFile(folder.File("c (2).zip"), "taken");
    const std::size_t before = FolderEntries(folder.Path()).size();
    DownloadTarget full(folder.Path());
    full.SetNameClash(DownloadTarget::NameClash::FreeName);
    tandriltest::WriteFile(full.Begin("c.zip"), "new");
    EXPECT_FALSE(full.Commit());
    EXPECT_TRUE(full.IsNameTaken());
    EXPECT_EQ(folder.File("c.zip") + " and every numbered name up to " + folder.File("c (100).zip") + " exist",
              full.GetError());
    EXPECT_EQ(folder.File("c.zip"), full.GetFileFailure().first);
    EXPECT_EQ(before, FolderEntries(folder.Path()).size());
}
