// Writes the seed corpus of the reply fuzzer: for each of the nine
// operations, the reply the simulated server sends to the real command, as
// read from the socket, prefixed with the operation's byte; then replies with
// malformed DIME records and file values.
//   reply_corpus_recorder FOLDER

#include <joxmaintenance/CommandClearLogEntries.h>
#include <joxmaintenance/CommandCollectLog.h>
#include <joxmaintenance/CommandDeleteLog.h>
#include <joxmaintenance/CommandListAvailableLogs.h>
#include <joxmaintenance/CommandListLogCollections.h>
#include <joxmaintenance/CommandLogFetch.h>
#include <joxmaintenance/CommandLogGather.h>
#include <joxmaintenance/CommandLogStatus.h>
#include <joxmaintenance/CommandQueryMachineInformation.h>
#include <joxmaintenance/ServerConnection.h>

#include "simserver/SimServer.h"

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
    const LogEntryList entries = {LogEntry("systemlogs", "2026-03-01T10:00:00", 60)};
    auto command = [&](int operation) -> std::unique_ptr<Command> {
        switch (operation)
        {
        case 0: return std::make_unique<CommandQueryMachineInformation>(url);
        case 1: return std::make_unique<CommandLogGather>(url, folder, entries);
        case 2: return std::make_unique<CommandCollectLog>(url, entries);
        case 3: return std::make_unique<CommandListAvailableLogs>(url);
        case 4: return std::make_unique<CommandListLogCollections>(url);
        case 5: return std::make_unique<CommandLogFetch>(url, folder, QStringLiteral("c.zip"));
        case 6: return std::make_unique<CommandDeleteLog>(url, QStringLiteral("c.zip"));
        case 7: return std::make_unique<CommandClearLogEntries>(url);
        default: return std::make_unique<CommandLogStatus>(url);
        }
    };
    auto record = [&](int operation, const std::string& rName) {
        gReceived.clear();
        std::unique_ptr<Command> pCommand = command(operation);
        pCommand->DoExecute();
        std::ofstream(corpus + "/" + rName, std::ios::binary) << static_cast<char>(operation) << gReceived;
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        server.AddCollection("c.zip", "collection bytes");
    };

    const char* const operations[] = {"ServiceFetchInformation", "LogCreateAndFetchCollection", "LogCreateCollection",
                                      "LogList", "LogListCollections", "LogFetchCollection", "LogDeleteCollection",
                                      "LogDeleteAllCollections", "LogStatus"};
    for (int operation = 0; operation < 9; ++operation)
        record(operation, operations[operation]);

    using simserver::Fault;
    const struct
    {
        int mOperation;
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
        const int operation = rCase.mOperation % 9;
        server.SetFault(operations[operation], rCase.mFault);
        server.SetMalformedOptionField(rCase.mOptionField);
        server.SetCutOffBytes(8);
        record(operation, rCase.mpName);
        server.SetFault(operations[operation], Fault::None);
    }
    server.Stop();
    QDir(scratch).removeRecursively();
    return 0;
}
