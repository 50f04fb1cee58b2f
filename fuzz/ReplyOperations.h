#pragma once

// The nine maintenance operations as the reply fuzzer and its corpus
// recorder drive them: operation i (0 to 8, in the order of the service) is
// run by the command MakeCommand(i, ...) returns.

#include <joxmaintenance/CommandClearLogEntries.h>
#include <joxmaintenance/CommandCollectLog.h>
#include <joxmaintenance/CommandDeleteLog.h>
#include <joxmaintenance/CommandListAvailableLogs.h>
#include <joxmaintenance/CommandListLogCollections.h>
#include <joxmaintenance/CommandLogFetch.h>
#include <joxmaintenance/CommandLogGather.h>
#include <joxmaintenance/CommandLogStatus.h>
#include <joxmaintenance/CommandQueryMachineInformation.h>

#include <memory>

namespace replyfuzz {

constexpr unsigned kOperationCount = 9;

inline const char* OperationName(unsigned operation)
{
    static const char* const names[kOperationCount] = {
        "ServiceFetchInformation", "LogCreateAndFetchCollection", "LogCreateCollection",
        "LogList", "LogListCollections", "LogFetchCollection",
        "LogDeleteCollection", "LogDeleteAllCollections", "LogStatus"};
    return names[operation % kOperationCount];
}

// Downloads go to rFolder; the fetched and deleted collection is "c.zip".
inline std::unique_ptr<joxmaintenance::Command> MakeCommand(unsigned operation, const QString& rUrl,
                                                           const QString& rFolder)
{
    using namespace joxmaintenance;
    const LogEntryList entries = {LogEntry("systemlogs", "2026-03-01T10:00:00", 60)};
    switch (operation % kOperationCount)
    {
    case 0:
        return std::make_unique<CommandQueryMachineInformation>(rUrl);
    case 1:
        return std::make_unique<CommandLogGather>(rUrl, rFolder, entries);
    case 2:
        return std::make_unique<CommandCollectLog>(rUrl, entries);
    case 3:
        return std::make_unique<CommandListAvailableLogs>(rUrl);
    case 4:
        return std::make_unique<CommandListLogCollections>(rUrl);
    case 5:
        return std::make_unique<CommandLogFetch>(rUrl, rFolder, QStringLiteral("c.zip"));
    case 6:
        return std::make_unique<CommandDeleteLog>(rUrl, QStringLiteral("c.zip"));
    case 7:
        return std::make_unique<CommandClearLogEntries>(rUrl);
    default:
        return std::make_unique<CommandLogStatus>(rUrl);
    }
}

} // namespace replyfuzz
