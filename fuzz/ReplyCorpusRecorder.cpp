// Writes the seed corpus of the reply fuzzer: for each of the nine
// operations, the reply the simulated server sends to the real command, as
// read from the socket, prefixed with the operation's byte; then replies with
// malformed DIME records and file values, with texts beyond ASCII, with
// collection names in Windows-1252 or holding format characters, and with
// children qualified with the schema namespace; then crafted replies no
// simulated server sends: chunk-size lines that run on, many DIME records,
// one large record in one HTTP chunk (its data cut short), empty chunk
// records, long chunk extensions between single bytes of content, lengths
// and informational replies in the HTTP header (also with no final reply),
// chunked headers in forms a lenient reader takes as chunked, folded fields,
// HTTP errors in chunks, of DIME type, or a 400 or 500 with a body that is
// no SOAP fault, and chunk data followed by other than a line break.
//   reply_corpus_recorder FOLDER

#include "ReplyOperations.h"
#include "simserver/ScriptedHttpServer.h"
#include "simserver/SimServer.h"

#include <joxmaintenance/SchemaNamespace.h>
#include <joxmaintenance/ServerConnection.h>

#include <stdsoap2.h>

#include <QDir>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace {

std::string gReceived;
size_t (*gpReceive)(struct soap*, char*, size_t) = nullptr;

size_t RecordingReceive(struct soap* pSoap, char* pBuffer, size_t length)
{
    const size_t count = gpReceive(pSoap, pBuffer, length);
    gReceived.append(pBuffer, count);
    return count;
}

using simserver::ScriptedHttpServer;

// An attachment record of one byte named rName (no option when empty).
std::string Attachment(unsigned char flags, const std::string& rId, const std::string& rName)
{
    return ScriptedHttpServer::DimeRecord(flags, 0x10, rId, "application/zip", "x",
                                          rName.empty() ? std::string() : ScriptedHttpServer::DimeOption(rName));
}

// Replies the fuzzer's input size (64 KiB) holds: each prefixed with the
// byte of the operation that reads it.
void WriteCraftedReplies(const std::string& rCorpus)
{
    const std::string chunked = "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\n"
                                "Transfer-Encoding: chunked\r\n\r\n";
    const std::string envelope = ScriptedHttpServer::DimeRecord(
        0x04, 0x20, "", "http://schemas.xmlsoap.org/soap/envelope/",
        ScriptedHttpServer::SoapEnvelope(
            "<jox:LogFetchCollectionResponse><LogFile href=\"cid:one\"/></jox:LogFetchCollectionResponse>"));
    const auto dime = [&envelope](const std::string& rRecords) {
        return ScriptedHttpServer::HttpReply("200 OK", "application/dime", envelope + rRecords);
    };
    std::string manyRecords;
    for (int i = 0; i < 40; ++i)
        manyRecords += Attachment(i == 39 ? 0x02 : 0, i == 0 ? "cid:one" : "cid:n" + std::to_string(i),
                                  "n" + std::to_string(i) + ".zip");
    std::string chunkOptions = Attachment(0x01, "cid:one", "c.zip");
    for (int i = 0; i < 20; ++i)
        chunkOptions += ScriptedHttpServer::DimeRecord(i == 19 ? 0x02 : 0x01, 0, "", "", "x",
                                                       ScriptedHttpServer::DimeOption("option " + std::to_string(i)));
    // A record that declares 17 MiB in one HTTP chunk that declares all of
    // it; only its first bytes follow.
    const std::size_t large = 17 * 1024 * 1024;
    const std::string largeRecord =
        envelope + ScriptedHttpServer::DimeRecord(0x02, 0x10, "cid:one", "application/zip", std::string(large, 'l'),
                                                  ScriptedHttpServer::DimeOption("c.zip"));
    char largeChunk[32];
    std::snprintf(largeChunk, sizeof largeChunk, "%zx\r\n", largeRecord.size());
    const std::string dimeChunked = "HTTP/1.1 200 OK\r\nContent-Type: application/dime\r\n"
                                    "Transfer-Encoding: chunked\r\n\r\n";
    std::string emptyRecords = Attachment(0x01, "cid:one", "c.zip");
    for (int i = 0; i < 400; ++i)
        emptyRecords += ScriptedHttpServer::DimeRecord(i == 399 ? 0x02 : 0x01, 0, "", "", "");
    // Each byte of rContent in a chunk of its own after a long extension.
    const auto extended = [](const std::string& rContent) {
        std::string chunks;
        for (const char byte : rContent)
            chunks += "1;" + std::string(2000, 'e') + "\r\n" + byte + "\r\n";
        return chunks + "0\r\n\r\n";
    };
    // The collection's 20 bytes after long extensions.
    const std::string dataHead = envelope + ScriptedHttpServer::DimeRecordHeader(
                                                0x02, 0x10, "cid:one", "application/zip", 20,
                                                ScriptedHttpServer::DimeOption("c.zip"));
    char dataLine[32];
    std::snprintf(dataLine, sizeof dataLine, "%zx\r\n", dataHead.size());
    const std::string dataChunk = dataLine + dataHead + "\r\n";
    const std::string statusReply = ScriptedHttpServer::SoapReply("<jox:LogStatusResponse/>");
    const std::size_t lengthAt = statusReply.find("Content-Length: ") + 16;
    const std::string negativeLength =
        statusReply.substr(0, lengthAt) + "-5" + statusReply.substr(statusReply.find("\r\n", lengthAt));
    const std::string statusBody = statusReply.substr(statusReply.find("\r\n\r\n") + 4);
    const std::string statusChunks = ScriptedHttpServer::Chunked(statusBody, 64);
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    // The status reply's body in chunks of 64 bytes whose data is followed by rDataEnd.
    const auto chunkedEndingIn = [&statusBody](const std::string& rDataEnd) {
        std::string chunks;
        for (std::size_t at = 0; at < statusBody.size(); at += 64)
        {
            const std::string piece = statusBody.substr(at, 64);
            char size[16];
            std::snprintf(size, sizeof size, "%zx\r\n", piece.size());
            chunks += size + piece + rDataEnd;
        }
        return chunks + "0\r\n\r\n";
    };
    const std::string wholeDime = ScriptedHttpServer::DimeRecord(
        0x06, 0x20, "", "http://schemas.xmlsoap.org/soap/envelope/",
        ScriptedHttpServer::SoapEnvelope("<jox:LogFetchCollectionResponse/>"));
    std::string processing;
    for (int i = 0; i < 50; ++i)
        processing += "HTTP/1.1 102 Processing\r\n\r\n";
    const std::string xml = "Content-Type: text/xml\r\n";
    const std::string chunkedFields = xml + "Transfer-Encoding: chunked\r\n\r\n";
    const struct
    {
        unsigned mOperation;
        std::string mReply;
        const char* mpName;
    } crafted[] = {
        {8, "HTTP/1.1  200 OK\r\n" + chunkedFields + statusChunks, "header-two-spaces-after-the-version"},
        {8, "http/1.1 200 OK\r\n" + chunkedFields + statusChunks, "header-version-in-lower-case"},
        {8, "\r\n" + ok + chunkedFields + statusChunks, "header-empty-line-first"},
        {8, ok + xml + "Transfer-Encoding:\r\n chunked\r\n\r\n" + statusChunks, "header-transfer-encoding-folded"},
        {8, ok + xml + "Transfer-Encoding: \"chunked\"\r\n\r\n" + statusChunks, "header-chunked-in-quotes"},
        {8, ok + xml + "Transfer-Encoding: chunked\v\r\n\r\n" + statusChunks, "header-chunked-and-vertical-tab"},
        {8, ok + xml + "Transfer-Encoding: chunked" + '\0' + "gzip\r\n\r\n" + statusChunks,
         "header-chunked-nul-and-more"},
        {8, ok + xml + "Content-Length:\r\n\t" + std::to_string(statusBody.size()) + "\r\n\r\n" + statusBody,
         "header-content-length-folded"},
        {8, ok + "Content-Type:\r\n text/xml;\r\n charset=utf-8\r\nTransfer-Encoding: chunked\r\n\r\n" + statusChunks,
         "header-content-type-folded"},
        {8, "HTTP/1.1 503 Busy\r\nContent-Type: text/plain\r\nTransfer-Encoding: chunked\r\n\r\n" +
                ScriptedHttpServer::Chunked("busy for now", 4),
         "http-error-in-chunks"},
        {8, chunked + "10;name=" + std::string(60 * 1024, 'x'), "chunk-extension-running-on"},
        {4, chunked + std::string(60 * 1024, '0'), "chunk-size-running-on"},
        {8, chunked + std::string(60 * 1024, ' ') + "5\r\n<?xml\r\n0\r\n\r\n", "chunk-size-after-filler"},
        {5, dime(manyRecords), "dime-many-records"},
        {5,
         dime(Attachment(0, "cid:zero", "before.zip") + Attachment(0, "cid:one", "wanted.zip") +
              Attachment(0, "cid:one", "again.zip") + Attachment(0x02, "cid:two", "")),
         "dime-records-beside-the-collection"},
        {5,
         dime(Attachment(0, "cid:one", "c.zip") +
              ScriptedHttpServer::DimeRecord(0x02, 0x10, "cid:" + std::string(9000, 'i'), "t", "x")),
         "dime-record-with-large-header"},
        {5, dime(chunkOptions), "dime-chunk-records-with-options"},
        {5, dimeChunked + largeChunk + largeRecord.substr(0, 4096), "dime-large-record-in-one-chunk"},
        {5, dime(emptyRecords), "dime-empty-chunk-records"},
        {8, chunked + extended("<?xml version=\"1.0\"?><a>"), "chunk-extensions-between-xml-bytes"},
        {5, dimeChunked + dataChunk + extended(std::string(20, 'd')), "chunk-extensions-between-data-bytes"},
        {8, negativeLength, "content-length-negative"},
        {8, "HTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\nHTTP/1.1 102 Processing\r\n\r\n" + statusReply,
         "informational-replies-first"},
        {2, processing + "HTTP/1.1 102 Processing\r\n", "informational-replies-without-a-final-reply"},
        {5, "HTTP/1.1 304 Not Modified\r\nContent-Type: application/dime\r\n\r\n", "http-304-of-dime-type"},
        {5, ScriptedHttpServer::HttpReply("404 Not Found", "application/dime", wholeDime), "http-404-with-a-dime-message"},
        {8, ScriptedHttpServer::HttpReply("500 Internal Server Error", "text/plain", "database connection refused"),
         "http-500-with-plain-text"},
        {8, "HTTP/1.1 400 Bad Request\r\nContent-Type: text/html\r\nTransfer-Encoding: chunked\r\n\r\n" +
                ScriptedHttpServer::Chunked("<html><body><p>request body too large for this proxy</p></body></html>", 16),
         "http-400-with-a-page-in-chunks"},
        {8, ok + chunkedFields + chunkedEndingIn("\n"), "chunk-data-ending-in-a-line-feed"},
        {8, ok + chunkedFields + chunkedEndingIn(""), "chunk-data-followed-by-the-next-size"},
        {8, ok + chunkedFields + chunkedEndingIn("\r"), "chunk-data-followed-by-a-carriage-return"},
        {8, ok + chunkedFields + "3\r\nabcdef\r\n0\r\n\r\n", "chunk-size-too-short"},
    };
    for (const auto& rCase : crafted)
        std::ofstream(rCorpus + "/" + rCase.mpName, std::ios::binary) << static_cast<char>(rCase.mOperation) << rCase.mReply;
}

} // namespace

extern "C" void TandrilPrepareServiceClient(struct soap* pSoap)
{
    gpReceive = pSoap->frecv;
    pSoap->frecv = RecordingReceive;
}

int main(int argc, char** argv)
{
    using namespace joxmaintenance;
    if (argc != 2)
    {
        std::cerr << "usage: reply_corpus_recorder FOLDER\n";
        return 2;
    }
    const std::string corpus = argv[1];
    const QString scratch = QDir::tempPath() + QStringLiteral("/tandril-reply-corpus");
    QDir(scratch).removeRecursively();
    QDir().mkpath(scratch + QStringLiteral("/in"));
    simserver::SimServer server((scratch + QStringLiteral("/server")).toStdString());
    if (!server.Start())
    {
        std::cerr << server.GetError() << "\n";
        return 1;
    }
    server.SetLogSources({{"systemlogs", "2026-03-01T10:00:00", 600}, {"harlenchannel1", "", 60}});
    server.SetJobs({{"{j1}", "10.0.0.9", "ct_collectlog", "cs_running", 42.5, 1, std::string("packing"), std::nullopt},
                    {"{j2}", "10.0.0.9", "ct_fetchlog", "cs_failed", 0.0, 0, std::nullopt, std::string("disk full")}});
    server.AddCollection("c.zip", "collection bytes");
    server.AddCollection("caf\xE9.zip", "other");

    const QString url = QString::fromStdString(server.GetUrl());
    const QString folder = scratch + QStringLiteral("/in");
    auto record = [&](unsigned operation, const std::string& rName) {
        gReceived.clear();
        std::unique_ptr<Command> pCommand = replyfuzz::MakeCommand(operation, url, folder);
        pCommand->DoExecute();
        std::ofstream(corpus + "/" + rName, std::ios::binary) << static_cast<char>(operation) << gReceived;
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        server.AddCollection("c.zip", "collection bytes");
    };

    for (unsigned operation = 0; operation < replyfuzz::kOperationCount; ++operation)
        record(operation, replyfuzz::OperationName(operation));

    using simserver::Fault;
    const struct
    {
        unsigned mOperation;
        Fault mFault;
        std::string mOptionField;
        const char* mpName;
    } malformed[] = {
        {5, Fault::DimeShortOption, "", "dime-option-shorter-than-declared"},
        {5, Fault::DimeShortOption, std::string("\0", 1), "dime-option-of-one-byte"},
        {5, Fault::DimeShortOption, std::string("\0\0\0", 3), "dime-option-of-three-bytes"},
        {1, Fault::DimeShortOption, std::string("\0\0\0\x02" "ab", 6), "dime-option-name-of-two-bytes"},
        {5, Fault::DimeShortOption, std::string("\0\0\0\x05" "a\0b.z", 9), "dime-option-name-with-nul"},
        {5, Fault::DimeShortOption, std::string("\0\0\0\x06" "../x.z", 10), "dime-option-name-with-folder"},
        {7, Fault::DimeShortOption, "", "dime-attachment-to-delete-all"},
        {5, Fault::DimeMissingRecord, "", "dime-href-to-missing-record"},
        {5, Fault::InlineLogFile, "", "inline-file"},
        {1, Fault::NilLogFile, "", "nil-file"},
        {5, Fault::CutOff, "", "cut-off-attachment"},
        {9 + 8, Fault::Soap12Fault, "", "soap12-fault"},
        {4, Fault::MustUnderstandHeader, "", "must-understand-header"},
    };
    for (const auto& rCase : malformed)
    {
        const unsigned operation = rCase.mOperation % replyfuzz::kOperationCount;
        server.SetFault(replyfuzz::OperationName(operation), rCase.mFault);
        server.SetMalformedOptionField(rCase.mOptionField);
        server.SetCutOffBytes(8);
        record(operation, rCase.mpName);
        server.SetFault(replyfuzz::OperationName(operation), Fault::None);
    }

    // Texts beyond ASCII in every text field the replies carry, and in a fault.
    const std::string text = "R\xC3\xA9gie Nord \xE2\x80\x93 Studio 3 (\xE2\x82\xAC) \xF0\x9D\x84\x9E 10\xE2\x80\x89h";
    server.SetInformation({"1.0", text, text});
    server.SetLogSources({{text, text, 60}});
    server.SetJobs({{text, text, "ct_collectlog", "cs_running", 42.5, 1, text, text}});
    server.AddCollection(text + ".zip", "other");
    for (const unsigned operation : {0u, 3u, 4u, 8u})
        record(operation, std::string("non-ascii-") + replyfuzz::OperationName(operation));
    server.SetFaultText(text);
    server.SetFault("LogDeleteCollection", Fault::Soap11Fault);
    record(6, "non-ascii-fault");
    server.SetFault("LogDeleteCollection", Fault::None);

    // Collection names in Windows-1252 (with bytes it leaves undefined), and
    // with format characters: a right-to-left override, a byte-order mark, a
    // zero-width space.
    const struct
    {
        unsigned mOperation;
        const char* mpOption;
        const char* mpName;
    } names[] = {
        {5, "Log \x96 1 \x80.zip", "name-windows-1252"},
        {1, "Log \x84\x93 \x81\x8D.zip", "name-windows-1252-undefined"},
        {5, "coll\xE2\x80\xAEpiz.exe", "name-right-to-left-override"},
        {1, "\xEF\xBB\xBFlog\xE2\x80\x8B.zip", "name-byte-order-mark-and-zero-width"},
    };
    for (const auto& rCase : names)
    {
        server.SetAttachmentOption(rCase.mpOption);
        record(rCase.mOperation, rCase.mpName);
    }
    server.SetAttachmentOption("");
    server.Stop();

    // Children qualified with the schema namespace (a prefix of the
    // server's own), as other toolkits write them.
    const struct
    {
        unsigned mOperation;
        const char* mpChildren;
    } qualified[] = {
        {0, "<t:ServiceVersion>1.0</t:ServiceVersion><t:Name>Studio</t:Name><t:SoftwareVersion>4.2</t:SoftwareVersion>"},
        {3, "<t:Sources><t:Source><t:Type>systemlogs</t:Type><t:StartTime>2026-03-01T10:00:00</t:StartTime>"
            "<t:DurationSeconds>60</t:DurationSeconds></t:Source></t:Sources>"},
        {4, "<t:LogCollection>a.zip</t:LogCollection><t:LogCollection>b.zip</t:LogCollection>"},
        {8, "<t:Status><t:Status><t:CommandID>{j1}</t:CommandID><t:ClientIP>10.0.0.9</t:ClientIP>"
            "<t:CommandType>ct_fetchlog</t:CommandType><t:CommandStatus>cs_running</t:CommandStatus>"
            "<t:ProgressPercent>40</t:ProgressPercent><t:FinishedPhases>1</t:FinishedPhases>"
            "<t:ProgressDetails>packing</t:ProgressDetails></t:Status></t:Status>"},
    };
    for (const auto& rCase : qualified)
    {
        const std::string response = std::string("t:") + replyfuzz::OperationName(rCase.mOperation) + "Response";
        const std::string reply = simserver::ScriptedHttpServer::SoapReply(
            "<" + response + " xmlns:t=\"" + SchemaNamespace() + "\">" + rCase.mpChildren + "</" + response + ">");
        std::ofstream(corpus + "/qualified-" + replyfuzz::OperationName(rCase.mOperation), std::ios::binary)
            << static_cast<char>(rCase.mOperation) << reply;
    }
    QDir(scratch).removeRecursively();
    WriteCraftedReplies(corpus);
    return 0;
}
