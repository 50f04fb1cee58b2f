// Writes the seed corpus of the reply fuzzer: for each of the nine
// operations, the reply the simulated server sends to the real command, as
// read from the socket, prefixed with the operation's byte; then replies with
// malformed DIME records and file values.
//   reply_corpus_recorder FOLDER

#include "ReplyOperations.h"
#include "simserver/SimServer.h"

#include <joxmaintenance/ServerConnection.h>

#include <stdsoap2.h>

#include <QDir>

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
    server.Stop();
    QDir(scratch).removeRecursively();
    return 0;
}
