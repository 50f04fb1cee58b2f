#pragma once

#include <QString>

#include <string>

namespace joxmaintenance {

// The kind of a command; the wire texts travel in the CommandType element.
enum CommandType
{
    ct_unknown = 0,
    ct_loggather = 1,
    ct_listlogfiles = 2,
    ct_listcollections = 3,
    ct_querymachinfo = 4,
    ct_fetchlog = 5,
    ct_collectlog = 6,
    ct_cleanlogs = 7,
    ct_deletelog = 8,
    ct_logstatus = 9
};

// The state of a command as the server sees it.
enum CommandState
{
    cs_pending = 0,
    cs_running = 1,
    cs_failed = 2,
    cs_canceled = 3,
    cs_finished = 4,
    cs_disconnected = 5
};

// Exact comparison with the texts of types 1 to 9; anything else gives 0.
int CommandTypeFromString(const std::string& rText);
// Types 1 to 9 give their wire texts, any other value "ct_unknown".
std::string CommandTypeToString(int type);
// Types 1 to 9 give their display texts, any other value "Unknown command".
QString CommandTypeDisplayName(int type);
// Exact comparison with the six state texts; anything else gives 2 (failed).
int CommandStateFromString(const std::string& rText);
// States 0, 1, 3, 4, 5 give their wire texts, any other value "cs_failed".
std::string CommandStateToString(int state);
// States 0, 1, 3, 4, 5 give their display texts, any other value "Failed".
QString CommandStateDisplayName(int state);

} // namespace joxmaintenance
