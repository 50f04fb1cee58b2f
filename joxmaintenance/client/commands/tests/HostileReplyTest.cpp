// Downloads and replies from servers that try to get around the client's
// bounds: many or large DIME records, records the reply does not refer to,
// chunk-size lines that never end, framing without content and lengths that
// are not lengths; and the legitimate framings of a large collection, which
// must all arrive.
#include "FolderEntries.h"
#include "TempDir.h"
#include "simserver/ScriptedHttpServer.h"

#include <joxmaintenance/CommandLogFetch.h>
#include <joxmaintenance/CommandLogStatus.h>
#include <joxmaintenance/LockedCommandStatusList.h>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
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
// refers to the record rId.
std::string EnvelopeRecord(const std::string& rId = "cid:one")
{
    return ScriptedHttpServer::DimeRecord(
        kFirst, 0x20, "", "http://schemas.xmlsoap.org/soap/envelope/",
        ScriptedHttpServer::SoapEnvelope("<jox:LogFetchCollectionResponse><LogFile href=\"" + rId +
                                         "\"/></jox:LogFetchCollectionResponse>"));
}

// The envelope's record, then the header of a collection's record that
// declares a gigabyte of data.
std::string EnvelopeAndGigabyteRecordHeader()
{
    return EnvelopeRecord() + ScriptedHttpServer::DimeRecordHeader(kLast, kMediaType, "cid:one", "application/zip",
                                                                   std::uint64_t{1} << 30,
                                                                   ScriptedHttpServer::DimeOption("c.zip"));
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

const std::string kChunkedDimeHeader =
    "HTTP/1.1 200 OK\r\nContent-Type: application/dime\r\nTransfer-Encoding: chunked\r\n\r\n";
const std::string kClosedDimeHeader = "HTTP/1.1 200 OK\r\nContent-Type: application/dime\r\nConnection: close\r\n\r\n";

// An HTTP chunk-size line.
std::string ChunkLine(std::uint64_t size)
{
    char line[32];
    std::snprintf(line, sizeof line, "%llx\r\n", static_cast<unsigned long long>(size));
    return line;
}

// The collection's data in blocks of kBlockBytes: each block begins with its
// number, so a block out of place shows.
constexpr std::size_t kBlockBytes = 1024 * 1024;

std::string Block(std::uint64_t number)
{
    std::string block(kBlockBytes, '\0');
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    std::memcpy(&block[0], &number, sizeof number);
    return block;
}

// Whether the file holds size bytes of blocks.
::testing::AssertionResult HoldsBlocks(const std::string& rPath, std::uint64_t size)
{
    std::ifstream file(rPath, std::ios::binary);
    std::string expected = Block(0);
    std::string read(kBlockBytes, '\0');
    for (std::uint64_t at = 0, number = 0; at < size; at += kBlockBytes, ++number)
    {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, size - at));
        std::memcpy(&expected[0], &number, sizeof number);
        if (!file.read(&read[0], static_cast<std::streamsize>(length)) ||
            std::memcmp(read.data(), expected.data(), length) != 0)
            return ::testing::AssertionFailure() << "block " << number << " differs or is missing";
    }
    if (file.peek() != std::char_traits<char>::eof())
        return ::testing::AssertionFailure() << "the file is longer than " << size << " bytes";
    return ::testing::AssertionSuccess();
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

// A chunked reply's header written in a form that a reader more lenient than
// the guard takes as chunked; mpRefusal is what the guard refuses it for
// (null: it reads it as chunked).
struct HeaderForm
{
    const char* mpName;
    std::string mHeader;
    const char* mpRefusal;
};

std::vector<HeaderForm> ChunkedHeaderForms(const std::string& rContentType)
{
    const std::string type = "Content-Type: " + rContentType + "\r\n";
    const std::string fields = type + "Transfer-Encoding: chunked\r\n\r\n";
    const std::string status = "HTTP/1.1 200 OK\r\n";
    return {
        {"two spaces after the version", "HTTP/1.1  200 OK\r\n" + fields,
         "the status line \"HTTP/1.1  200 OK\" is not HTTP/1.x, one space and a status of three digits"},
        {"the version in lower case", "http/1.1 200 OK\r\n" + fields,
         "the status line \"http/1.1 200 OK\" is not HTTP/1.x, one space and a status of three digits"},
        {"an empty line first", "\r\n" + status + fields, "the reply begins with an empty line instead of its status line"},
        {"Transfer-Encoding folded", status + type + "Transfer-Encoding:\r\n chunked\r\n\r\n", nullptr},
        {"chunked in quotes", status + type + "Transfer-Encoding: \"chunked\"\r\n\r\n",
         "the transfer coding \"\\\"chunked\\\"\" is not one the program decodes: it decodes chunked alone"},
        {"chunked and a vertical tab", status + type + "Transfer-Encoding: chunked\v\r\n\r\n",
         "the header line \"Transfer-Encoding: chunked\\x0B\" holds a control character"},
        {"chunked, a NUL and more", status + type + "Transfer-Encoding: chunked" + '\0' + "gzip\r\n\r\n",
         "the header line \"Transfer-Encoding: chunked\\x00gzip\" holds a control character"},
    };
}

// The peak memory of the process so far.
std::size_t PeakBytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
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

    // The command failed on the server's account with a message that holds
    // rDetail, and left nothing.
    void ExpectRefused(const Command& rCommand, const std::string& rDetail)
    {
        EXPECT_EQ(JoxCore::StateFailed, rCommand.GetState());
        EXPECT_TRUE(rCommand.GetMessagesText().contains(QString::fromStdString(rDetail)))
            << rCommand.GetMessagesText().toStdString();
        EXPECT_TRUE(rCommand.GetLocalFault().isEmpty()) << rCommand.GetLocalFault().toStdString();
        EXPECT_TRUE(FolderEntries(mFolder.Path()).empty());
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
        {"chunk records with 60 KiB options", chunks(large), tooLarge},
        {"a record read past with 20 MiB of data",
         collection + Attachment(kLast, "cid:two", "big.zip", std::string(20 * 1024 * 1024, 'b')),
         "a reply may carry at most 16 MiB besides its collection's data"},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        ExpectRefused(*Fetch({DimeReply(rCase.mRecords)}), rCase.mpDetail);
    }
}

// The runtime skips a chunk-size line and its extensions without counting
// them against the reply's limit; a line that never ends fails the request.
TEST_F(HostileReplyTest, AChunkSizeLineThatNeverEndsFailsTheRequest)
{
    const std::string header = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nTransfer-Encoding: chunked\r\n\r\n";
    const std::string& rDimeHeader = kChunkedDimeHeader;
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
        {"an extension during the collection's data", rDimeHeader + size + dime + "\r\n1;", "x"},
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
        ExpectRefused(*pCommand, "\"The reply's chunk-size line is too long\"\nDetail: an HTTP chunk-size line with its "
                                 "extensions may take at most 64 KiB");
    }
}

// No header form hands the runtime chunks to decode: each is refused at once
// or read as chunked by the guard, whose bounds then end a chunk-size line
// that never ends and extensions between single bytes of data.
TEST_F(HostileReplyTest, EveryChunkedHeaderFormEndsWithinSecondsWithBoundedMemory)
{
    const std::string dataRecord = EnvelopeAndGigabyteRecordHeader();
    const struct
    {
        const char* mpName;
        const char* mpContentType;
        std::string mBody;
        std::string mRepeated;
        const char* mpFault; // when the guard reads the header as chunked
    } bodies[] = {
        {"a chunk-size line that never ends", "text/xml", "", "0", "\"The reply's chunk-size line is too long\""},
        {"60,000-byte extensions between the bytes of the collection", "application/dime",
         ChunkLine(dataRecord.size()) + dataRecord + "\r\n", "1;" + std::string(60000, 'e') + "\r\nd\r\n",
         "\"The reply carries too many bytes without content\""},
    };
    for (const auto& rBody : bodies)
    {
        for (const HeaderForm& rForm : ChunkedHeaderForms(rBody.mpContentType))
        {
            SCOPED_TRACE(std::string(rBody.mpName) + ", " + rForm.mpName);
            const std::size_t peak = PeakBytes();
            const auto start = std::chrono::steady_clock::now();
            const auto pFetch = Fetch({rForm.mHeader + rBody.mBody, false, 0, rBody.mRepeated});
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
            EXPECT_LT(PeakBytes(), peak + 64 * 1024 * 1024);
            ExpectRefused(*pFetch, rForm.mpRefusal ? "\"The server sent a reply the program cannot read\"\nDetail: " +
                                                         std::string(rForm.mpRefusal)
                                                   : rBody.mpFault);
        }
    }
}

// A download whose length or last chunk ends inside its DIME records, while
// the server keeps the connection open, ended before it was complete: no
// wait ran out.
TEST_F(HostileReplyTest, ADownloadItsFramingEndsEarlySaysSo)
{
    const std::string records = EnvelopeRecord() + Attachment(kLast, "cid:one", "c.zip", std::string(1000, 'c'));
    const struct
    {
        const char* mpName;
        std::string mReply;
    } cases[] = {
        {"a length inside the collection's data",
         "HTTP/1.1 200 OK\r\nContent-Type: application/dime\r\nContent-Length: " +
             std::to_string(records.size() - 500) + "\r\n\r\n" + records},
        {"a last chunk inside the envelope's record",
         kChunkedDimeHeader + ScriptedHttpServer::Chunked(records.substr(0, EnvelopeRecord().size() / 2), 256)},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        const auto start = std::chrono::steady_clock::now();
        const auto pFetch = Fetch({rCase.mReply, true});
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        ExpectRefused(*pFetch, "");
        EXPECT_EQ(pFetch->GetFailureReason(), "The server's reply ended before it was complete.")
            << pFetch->GetMessagesText().toStdString();
    }
}

// A collection arrives whatever legal framing carries it: DIME as one record
// that declares its size or as chunk records (small ones, and ones that
// repeat the first record's fields), in one HTTP chunk of any size, in small
// chunks, with a Content-Length or up to the end of the connection.
TEST_F(HostileReplyTest, ACollectionArrivesInEveryFraming)
{
    const std::size_t size = 17 * 1024 * 1024 + 3;
    std::string content;
    for (std::uint64_t number = 0; content.size() < size; ++number)
        content += Block(number);
    content.resize(size);
    // The collection in chunk records of pieceBytes; with repeat, each repeats
    // the first record's id, type and option.
    const auto chunks = [&content](std::size_t pieceBytes, bool repeat) {
        std::string records;
        for (std::size_t at = 0; at < content.size(); at += pieceBytes)
        {
            const std::string piece = content.substr(at, pieceBytes);
            const unsigned char flags = at + pieceBytes < content.size() ? kChunk : kLast;
            if (at == 0 || repeat)
                records += Attachment(flags, "cid:one", "c.zip", piece);
            else
                records += ScriptedHttpServer::DimeRecord(flags, 0, "", "", piece);
        }
        return records;
    };
    const struct
    {
        const char* mpName;
        std::string mRecords;
    } dimeFramings[] = {
        {"one record with its size", Attachment(kLast, "cid:one", "c.zip", content)},
        {"chunk records of 1 KiB", chunks(1024, false)},
        {"chunk records of 64 KiB that repeat the first record's fields", chunks(64 * 1024, true)},
    };
    for (const auto& rDime : dimeFramings)
    {
        const std::string body = EnvelopeRecord() + rDime.mRecords;
        const struct
        {
            const char* mpName;
            std::string mReply;
        } httpFramings[] = {
            {"with a Content-Length", ScriptedHttpServer::HttpReply("200 OK", "application/dime", body)},
            {"up to the end of the connection", kClosedDimeHeader + body},
            {"in one HTTP chunk", kChunkedDimeHeader + ScriptedHttpServer::Chunked(body, body.size())},
            {"in HTTP chunks of 64 KiB", kChunkedDimeHeader + ScriptedHttpServer::Chunked(body, 64 * 1024)},
            {"in HTTP chunks of 1 KiB", kChunkedDimeHeader + ScriptedHttpServer::Chunked(body, 1024)},
        };
        for (const auto& rHttp : httpFramings)
        {
            SCOPED_TRACE(std::string(rDime.mpName) + ", " + rHttp.mpName);
            const auto pFetch = Fetch({rHttp.mReply});
            ASSERT_EQ(JoxCore::StateSucceeded, pFetch->GetState()) << pFetch->GetMessagesText().toStdString();
            EXPECT_TRUE(tandriltest::ReadFile(mFolder.File("c.zip")) == content);
            std::remove(mFolder.File("c.zip").c_str());
        }
    }
}

// A collection in DIME chunk records of 1 KiB that each repeat a 40-byte id,
// the type and a 255-byte name, each record in an HTTP chunk of its own:
// a third as many bytes again without content, and 128 MiB of them, arrive.
TEST_F(HostileReplyTest, ACollectionArrivesInSmallChunkRecordsThatRepeatTheirFields)
{
    const std::string id = "cid:0b5e3e1c-5a8d-4c4e-9a53-7d3f1c2b9e40";
    const std::string name = std::string(251, 'n') + ".zip";
    const std::uint64_t size = std::uint64_t{128} << 20;
    const std::string envelope = EnvelopeRecord(id);
    ScriptedHttpServer::Reply reply(kChunkedDimeHeader + ChunkLine(envelope.size()) + envelope + "\r\n");
    reply.mStream = [&](const std::function<bool(const char*, std::size_t)>& rSend) {
        constexpr std::size_t kRecordBytes = 1024;
        std::string block;
        for (std::uint64_t at = 0; at < size; at += kRecordBytes)
        {
            if (at % kBlockBytes == 0)
                block = Block(at / kBlockBytes);
            const std::string record = Attachment(at + kRecordBytes < size ? kChunk : kLast, id, name,
                                                  block.substr(at % kBlockBytes, kRecordBytes),
                                                  "application/octet-stream");
            const std::string chunk = ChunkLine(record.size()) + record + "\r\n";
            if (!rSend(chunk.data(), chunk.size()))
                return;
        }
        rSend("0\r\n\r\n", 5);
    };
    const auto pFetch = Fetch(reply);
    ASSERT_EQ(JoxCore::StateSucceeded, pFetch->GetState()) << pFetch->GetMessagesText().toStdString();
    EXPECT_TRUE(HoldsBlocks(mFolder.File(name), size));
}

// A collection of several GiB in one record that declares its size, streamed
// by the server and never held whole by either side.
TEST_F(HostileReplyTest, ACollectionOfSeveralGibArrivesInOneRecord)
{
    const std::uint64_t size = (std::uint64_t{5} << 29) + 5; // 2.5 GiB and a bit: beyond 31 bits
    const std::string head = EnvelopeRecord() + ScriptedHttpServer::DimeRecordHeader(
                                                    kLast, kMediaType, "cid:one", "application/zip", size,
                                                    ScriptedHttpServer::DimeOption("c.zip"));
    const std::string padding((4 - size % 4) % 4, '\0');
    const std::uint64_t bodyBytes = head.size() + size + padding.size();
    const auto stream = [&](const std::string& rEnd) {
        return [size, rEnd](const std::function<bool(const char*, std::size_t)>& rSend) {
            std::string block = Block(0);
            for (std::uint64_t at = 0, number = 0; at < size; at += kBlockBytes, ++number)
            {
                std::memcpy(&block[0], &number, sizeof number);
                if (!rSend(block.data(), static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, size - at))))
                    return;
            }
            rSend(rEnd.data(), rEnd.size());
        };
    };
    const struct
    {
        const char* mpName;
        std::string mStart;
        std::string mEnd;
    } cases[] = {
        {"in one HTTP chunk", kChunkedDimeHeader + ChunkLine(bodyBytes) + head, padding + "\r\n0\r\n\r\n"},
        {"with a Content-Length",
         "HTTP/1.1 200 OK\r\nContent-Type: application/dime\r\nContent-Length: " + std::to_string(bodyBytes) +
             "\r\n\r\n" + head,
         padding},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        ScriptedHttpServer::Reply reply(rCase.mStart);
        reply.mStream = stream(rCase.mEnd);
        const auto pFetch = Fetch(reply);
        ASSERT_EQ(JoxCore::StateSucceeded, pFetch->GetState()) << pFetch->GetMessagesText().toStdString();
        EXPECT_TRUE(HoldsBlocks(mFolder.File("c.zip"), size));
        std::remove(mFolder.File("c.zip").c_str());
    }
}

// Framing that carries no content, sent at full speed, fails the reply within
// seconds and says so, whether it is empty DIME records after the collection
// began or long chunk extensions between single bytes of XML or data.
TEST_F(HostileReplyTest, FramingWithoutContentIsBounded)
{
    const std::string begun = EnvelopeRecord() + Attachment(kChunk, "cid:one", "c.zip", "the first bytes");
    const std::string extension = ";" + std::string(60000, 'e') + "\r\n";
    const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    const std::string dataRecord = EnvelopeAndGigabyteRecordHeader();
    const struct
    {
        const char* mpName;
        std::string mStart;
        std::string mRepeated;
    } cases[] = {
        {"empty DIME chunk records", kClosedDimeHeader + begun, ScriptedHttpServer::DimeRecord(kChunk, 0, "", "", "")},
        {"DIME chunk records of one byte", kClosedDimeHeader + begun,
         ScriptedHttpServer::DimeRecord(kChunk, 0, "", "", "x")},
        {"empty DIME chunk records that repeat 8 KiB of fields", kClosedDimeHeader + begun,
         Attachment(kChunk, "cid:one", std::string(8000, 'n'), "")},
        {"DIME chunk records of one byte that repeat 8 KiB of fields", kClosedDimeHeader + begun,
         Attachment(kChunk, "cid:one", std::string(8000, 'n'), "x")},
        {"DIME chunk records of 1 KiB that repeat 8 KiB of fields", kClosedDimeHeader + begun,
         Attachment(kChunk, "cid:one", std::string(8000, 'n'), std::string(1024, 'x'))},
        {"chunk extensions between the bytes of the XML",
         "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nTransfer-Encoding: chunked\r\n\r\n" + ChunkLine(xml.size()) +
             xml + "\r\n",
         "1" + extension + " \r\n"},
        {"chunk extensions between the bytes of the collection",
         kChunkedDimeHeader + ChunkLine(dataRecord.size()) + dataRecord + "\r\n", "1" + extension + "d\r\n"},
    };
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mpName);
        const auto start = std::chrono::steady_clock::now();
        ExpectRefused(*Fetch({rCase.mStart, false, 0, rCase.mRepeated}),
                      "\"The reply carries too many bytes without content\"");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    }
}

// The HTTP header frames the reply: a Content-Length is honoured, one that is
// not a length is refused, informational replies before the final one are
// skipped, folded fields are unfolded, and a header the guard cannot read
// as HTTP, or whose codings it does not decode, is refused.
TEST_F(HostileReplyTest, TheHttpHeaderFramesTheReply)
{
    const std::string reply = ScriptedHttpServer::SoapReply(
        "<jox:LogStatusResponse><Status><Status><CommandID>a</CommandID></Status></Status></jox:LogStatusResponse>");
    const std::size_t lengthAt = reply.find("Content-Length: ") + 16;
    const std::size_t lengthEnd = reply.find("\r\n", lengthAt);
    const std::string body = reply.substr(reply.find("\r\n\r\n") + 4);
    const auto declaring = [&](const std::string& rLength) {
        return reply.substr(0, lengthAt) + rLength + reply.substr(lengthEnd);
    };
    const std::string status = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n";
    const std::string chunks = ScriptedHttpServer::Chunked(body, 100);
    // The body in chunks of 100 bytes, their size lines ended by rLineEnd and
    // their data by rDataEnd.
    const auto chunkedWith = [&](const std::string& rLineEnd, const std::string& rDataEnd) {
        std::string chunked = status + "Transfer-Encoding: chunked\r\n\r\n";
        for (std::size_t at = 0; at < body.size(); at += 100)
        {
            const std::string piece = body.substr(at, 100);
            char size[16];
            std::snprintf(size, sizeof size, "%zx", piece.size());
            chunked += size + rLineEnd + piece + rDataEnd;
        }
        return chunked + "0" + rLineEnd + rLineEnd;
    };
    const std::string unreadable = "\"The server sent a reply the program cannot read\"\nDetail: ";
    const std::string unendedChunk = "\"The reply's HTTP chunks are malformed\"\nDetail: an HTTP chunk's data must be "
                                     "followed by a line break (CRLF), not by more bytes";
    struct Case
    {
        std::string mName;
        std::string mReply;
        std::string mFault; // empty: the reply succeeds
    };
    std::vector<Case> cases = {
        {"half its length", declaring(std::to_string(body.size() / 2)), "Error 200"},
        {"a negative length", declaring("-5"), "\"The reply's Content-Length is not a length\""},
        {"a length that is not a number", declaring("12abc"), "\"The reply's Content-Length is not a length\""},
        {"two lengths", declaring(std::to_string(body.size()) + "\r\nContent-Length: 3"),
         "\"The reply's Content-Length is not a length\""},
        {"102 and 103 first",
         "HTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </a>; rel=preload\r\n\r\n" + reply, ""},
        {"100 first", "HTTP/1.1 100 Continue\r\n\r\n" + reply, ""},
        {"Content-Length folded", status + "Content-Length:\r\n\t " + std::to_string(body.size()) + "\r\n\r\n" + body,
         ""},
        {"lines that end with a line feed alone", "HTTP/1.1 200 OK\nContent-Length: " + std::to_string(body.size()) +
                                                       "\nContent-Type: text/xml\n\n" + body,
         ""},
        // The chunks frame the body; the length must still be one.
        {"chunks and a Content-Length", status + "Content-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n" + chunks,
         ""},
        {"chunk lines and data that end with a line feed alone", chunkedWith("\n", "\n"), ""},
        {"a chunk's data followed at once by the next size", chunkedWith("\r\n", ""), unendedChunk},
        {"a chunk's data followed by a carriage return alone", chunkedWith("\r\n", "\r"), unendedChunk},
        {"chunks and a Content-Length that is not one",
         status + "Content-Length: x\r\nTransfer-Encoding: chunked\r\n\r\n" + chunks,
         "\"The reply's Content-Length is not a length\""},
        {"chunked twice", status + "Transfer-Encoding: chunked\r\nTransfer-Encoding: chunked\r\n\r\n" + chunks,
         unreadable + "the transfer coding \"chunked,chunked\" is not one the program decodes: it decodes chunked alone"},
        {"gzip before chunked", status + "Transfer-Encoding: gzip, chunked\r\n\r\n" + chunks,
         unreadable + "the transfer coding \"gzip, chunked\" is not one the program decodes: it decodes chunked alone"},
        {"a content coding", status + "Content-Encoding: gzip\r\nContent-Length: " + std::to_string(body.size()) +
                                 "\r\n\r\n" + body,
         unreadable + "the content coding \"gzip\" is not one the program decodes"},
        {"chunks in HTTP/1.0", "HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + chunks,
         unreadable + "an HTTP/1.0 reply declares a transfer coding"},
        {"a blank before the colon", status + "Transfer-Encoding : chunked\r\n\r\n" + chunks,
         unreadable + "the header line \"Transfer-Encoding : chunked\" is not a field"},
        {"a line without a colon", status + "chunked\r\n\r\n" + chunks,
         unreadable + "the header line \"chunked\" is not a field"},
        {"a folded first line", "HTTP/1.1 200 OK\r\n Transfer-Encoding: chunked\r\n\r\n" + chunks,
         unreadable + "the first header line \" Transfer-Encoding: chunked\" begins with a blank"},
        {"two content types", status + "Content-Type: application/dime\r\nContent-Length: " +
                                  std::to_string(body.size()) + "\r\n\r\n" + body,
         unreadable + "the header declares more than one Content-Type"},
    };
    for (const HeaderForm& rForm : ChunkedHeaderForms("text/xml"))
        cases.push_back({rForm.mpName, rForm.mHeader + chunks, rForm.mpRefusal ? unreadable + rForm.mpRefusal : ""});
    for (const auto& rCase : cases)
    {
        SCOPED_TRACE(rCase.mName);
        ScriptedHttpServer server;
        ASSERT_TRUE(server.Start({{rCase.mReply}}));
        CommandLogStatus status(QString::fromStdString(server.GetUrl()));
        status.DoExecute();
        if (rCase.mFault.empty())
        {
            EXPECT_EQ(JoxCore::StateSucceeded, status.GetState()) << status.GetMessagesText().toStdString();
            EXPECT_EQ(1u, LockForRead(status.GetStatusList())->size());
        }
        else
            ExpectRefused(status, rCase.mFault);
    }
}

} // namespace
