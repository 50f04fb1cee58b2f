#include "joxmaintenance/CommandType.h"

#include <array>

namespace joxmaintenance {

namespace {

// Wire texts, built once during static initialization.
const std::array<std::string, 10> mpTypeNames = {"ct_unknown",      "ct_loggather",   "ct_listlogfiles",
                                                 "ct_listcollections", "ct_querymachinfo", "ct_fetchlog",
                                                 "ct_collectlog",   "ct_cleanlogs",   "ct_deletelog",
                                                 "ct_logstatus"};
const std::array<std::string, 6> mpStateNames = {"cs_pending",  "cs_running",  "cs_failed",
                                                 "cs_canceled", "cs_finished", "cs_disconnected"};

const std::array<const char*, 10> kTypeDisplayNames = {
    "Unknown command",         "Gather logs",           "List available logs",       "List available log collections",
    "Query server information", "Download log collection", "Create log collection",   "Delete all log collections",
    "Delete log collection",   "Query log status"};
const std::array<const char*, 6> kStateDisplayNames = {"Pending", "Running", "Failed", "Canceled", "Finished",
                                                       "Disconnected"};

} // namespace

int CommandTypeFromString(const std::string& rText)
{
    for (int type = ct_loggather; type <= ct_logstatus; ++type)
    {
        if (rText == mpTypeNames[type])
            return type;
    }
    return ct_unknown;
}

std::string CommandTypeToString(int type)
{
    return type >= ct_loggather && type <= ct_logstatus ? mpTypeNames[type] : mpTypeNames[ct_unknown];
}

QString CommandTypeDisplayName(int type)
{
    return QString::fromLatin1(kTypeDisplayNames[type >= ct_loggather && type <= ct_logstatus ? type : ct_unknown]);
}

int CommandStateFromString(const std::string& rText)
{
    for (int state = cs_pending; state <= cs_disconnected; ++state)
    {
        if (rText == mpStateNames[state])
            return state;
    }
    return cs_failed;
}

std::string CommandStateToString(int state)
{
    return state >= cs_pending && state <= cs_disconnected ? mpStateNames[state] : mpStateNames[cs_failed];
}

QString CommandStateDisplayName(int state)
{
    return QString::fromLatin1(kStateDisplayNames[state >= cs_pending && state <= cs_disconnected ? state : cs_failed]);
}

} // namespace joxmaintenance
