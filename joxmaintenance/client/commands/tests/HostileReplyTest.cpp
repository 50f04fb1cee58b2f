// Downloads and replies from servers that try to get around the client's
// bounds: many or large DIME records, records the reply does not refer to,
// and chunk-size lines that never end.
#include "FolderEntries.h"
#include "TempDir.h"
#include "simserver/ScriptedHttpServer.h"

#include <joxmaintenance/CommandLogFetch.h>
#include <joxmaintenance/CommandLogStatus.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace joxmaintenance;
using simserver::ScriptedHttpServer;
using tandriltest::FolderEntries;

namespace {

constexpr unsigned char kFirst = 0x04;
constexpr unsigned char kLast = 0x02;
constexpr unsigned char kChunk = 0x01;
constexpr unsigned char kMediaType = 0x10;

// The first DIME record of a LogFetchCollection reply whose file value
// refers to the record "cid:one".
std::string EnvelopeRecord()
{
    return ScriptedHttpServer::DimeRecord(
        kFirst, 0x20, "", "http://schemas.xmlsoap.org/soap/envelope/",
        ScriptedHttpServer::SoapEnvelope(
            "<jox:LogFetchCollectionResponse><LogFile href=\"cid:one\"/></jox:LogFetchCollectionResponse>"));
}

// An attachment record named rName.
std::string Attachment(unsigned char flags, const std::string& rId, const std::string& rName, const std::string& rData,
                       const std::string& rType = "application/zip")
{
    return ScriptedHttpServer::DimeRecord(flags, kMediaType, rId, rType, rData,
                                          rName.empty() ? std::string() : ScriptedHttpServer::DimeOption(rName));
}

std::string DimeReply(const std::string& rRecords)
{
    return ScriptedHttpServer::HttpReply("200 OK", "application/dime", EnvelopeRecord() + rRecords);
}

// rCount records of ids "cid:n<i>", each with the given fields and one byte of
// data, named "n<i>.zip"; the last one ends the message.
std::string ManyRecords(std::size_t count, const std::string& rIdPadding = std::string(),
                        const std::string& rType = "t")
{
    std::string records;
    for (std::size_t i = 0; i < count; ++i)
    {
        const std::string n = std::to_string(i);
        records += Attachment(i + 1 == count ? kLast : 0, "cid:n" + n + rIdPadding, "n" + n + ".zip", "x", rType);
    }
    return records;
}

class HostileReplyTest : public ::testing::Test
{
protected:
    // Fetches "c.zip" from a server that sends rReply.
    std::unique_ptr<CommandLogFetch> Fetch(const ScriptedHttpServer::Reply& rReply)
    {
        ScriptedHttpServer server;
        EXPECT_TRUE(server.Start({rReply}));
        auto pFetch = std::make_unique<CommandLogFetch>(QString::fromStdString(server.GetUrl()),
                                                        QString::fromStdString(mFolder.Path()), "c.zip");
        pFetch->DoExecute();
        return pFetch;
    }

    tandriltest::TempDir mFolder;
};

// A reply delivers one collection, the record its file value refers to; the
// others are read past without a file.
TEST_F(HostileReplyTest, OnlyTheReferredAttachmentBecomesAFile)
{
    const struct
    {
        const char* mpName;
        std::string mRecords;
        const char* mpContent; // of "wanted.zip"
    } cases[] = {
        {"among others",
         Attachment(0, "cid:zero", "new.zip", "other") + Attachment(0, "cid:one", "wanted.zip", "wanted") +
             Attachment(kLast, "cid:two", "third.zip", "other"),
         "wanted"},
        {"twice under its identifier",
         Attachment(0, "cid:one", "wanted.zip", "first") + Attachment(kLast, "cid:one", "wanted.zip", "second"),
         "first"},
        {"chunked, after a chunked record that is not referred to",
         Attachment(kChunk, "cid:zero", "new.zip", "ot") + Attachment(0, "", "", "her") +
             Attachment(kChunk, "cid:one", "wanted.zip", "wan") + Attachment(kLast, "", "", "ted"),
         "wanted"},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        const auto pFetch = Fetch({DimeReply(rCase.mRecords)});
        ASSERT_EQ(JoxCore::StateSucceeded, pFetch->GetState()) << pFetch->GetMessagesText().toStdString();
        EXPECT_EQ((std::vector<std::string>{"wanted.zip"}), FolderEntries(mFolder.Path()));
        EXPECT_EQ(rCase.mpContent, tandriltest::ReadFile(mFolder.File("wanted.zip")));
        std::remove(mFolder.File("wanted.zip").c_str());
    }
}

// What a reply's DIME records may hold besides the collection's data is
// bounded, and a failed download leaves nothing.
TEST_F(HostileReplyTest, DimeRecordsAreBounded)
{
    const std::string large(60 * 1024, 'f');
    const std::string small(2 * 1024, 'f');
    const std::string collection = Attachment(0, "cid:one", "c.zip", "collection");
    // The collection in chunk records after the first, each with the option field.
    const auto chunks = [](const std::string& rOption) {
        std::string records = Attachment(kChunk, "cid:one", "c.zip", "c");
        for (int i = 0; i < 40; ++i)
            records += ScriptedHttpServer::DimeRecord(i == 39 ? kLast : kChunk, 0, "", "", "c",
                                                      ScriptedHttpServer::DimeOption(rOption));
        return records;
    };
    const char* const tooMany = "the reply carries more than 16 DIME records";
    const char* const tooLarge = "bytes, more than 8192";
    const struct
    {
        const char* mpName;
        std::string mRecords;
        const char* mpDetail;
    } cases[] = {
        {"20000 one-byte attachments", collection + ManyRecords(20000), tooMany},
        {"records with 2 KiB ids and types", collection + ManyRecords(40, small, small), tooMany},
        {"records with 60 KiB ids and types", collection + ManyRecords(40, large, large), tooLarge},
        {"chunk records with 2 KiB options", chunks(small), tooMany},
        {"chunk records with 60 KiB options", chunks(large), tooLarge},
        {"a record read past with 20 MiB of data",
         collection + Attachment(kLast, "cid:two", "big.zip", std::string(20 * 1024 * 1024, 'b')),
         "a reply may carry at most 16 MiB besides its collection's data"},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        const auto pFetch = Fetch({DimeReply(rCase.mRecords)});
        EXPECT_EQ(JoxCore::StateFailed, pFetch->GetState());
        EXPECT_TRUE(pFetch->GetErrorDetails().contains(QString::fromStdString(rCase.mpDetail)))
            << pFetch->GetErrorDetails().toStdString();
        EXPECT_TRUE(FolderEntries(mFolder.Path()).empty());
    }
}

// The runtime skips a chunk-size line and its extensions without counting
// them against the reply's limit; a line that never ends fails the request.
TEST_F(HostileReplyTest, AChunkSizeLineThatNeverEndsFailsTheRequest)
{
    const std::string header = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nTransfer-Encoding: chunked\r\n\r\n";
    const std::string dimeHeader = "HTTP/1.1 200 OK\r\nContent-Type: application/dime\r\nTransfer-Encoding: chunked\r\n\r\n";
    const std::string dime = EnvelopeRecord() + Attachment(kChunk, "cid:one", "c.zip", "the first bytes");
    char size[16];
    std::snprintf(size, sizeof size, "%zx\r\n", dime.size());
    const struct
    {
        const char* mpName;
        std::string mBytes;
        std::string mRepeated;
    } cases[] = {
        {"an extension", header + "10;name=", "x"},
        {"a size", header, "0"},
        {"filler before the size", header, " "},
        {"an extension during the collection's data", dimeHeader + size + dime + "\r\n1;", "x"},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        ScriptedHttpServer server;
        ASSERT_TRUE(server.Start({{rCase.mBytes, false, 0, rCase.mRepeated}}));
        const QString url = QString::fromStdString(server.GetUrl());
        std::unique_ptr<Command> pCommand;
        if (rCase.mBytes.find("dime") != std::string::npos)
            pCommand = std::make_unique<CommandLogFetch>(url, QString::fromStdString(mFolder.Path()), "c.zip");
        else
            pCommand = std::make_unique<CommandLogStatus>(url);
        const auto start = std::chrono::steady_clock::now();
        pCommand->DoExecute();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(JoxCore::StateFailed, pCommand->GetState());
        EXPECT_TRUE(pCommand->GetMessagesText().contains(
            "\"The reply's chunk-size line is too long\"\nDetail: an HTTP chunk-size line with its extensions may take at "
            "most 64 KiB"))
            << pCommand->GetMessagesText().toStdString();
        EXPECT_TRUE(FolderEntries(mFolder.Path()).empty());
    }
}

} // namespace
