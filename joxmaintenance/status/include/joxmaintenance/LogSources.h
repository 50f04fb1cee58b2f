#pragma once

#include <joxmaintenance/LogEntry.h>

#include <QString>

#include <string>
#include <vector>

struct soap;

namespace joxmaintenance {

class jox__AvailableLogsListType;

// The 21 log-source names the client knows, in table order.
const std::vector<std::string>& LogSourceNames();
// The display text of a known name; any other name unchanged (read as UTF-8).
QString LogSourceDisplayName(const std::string& rName);
// The wire list, allocated in the call's context; null for an empty list.
jox__AvailableLogsListType* LogEntryList2SoapListPointer(struct soap* pSoap, const LogEntryList& rEntries);
// Appends every Source of the wire list; an empty type throws
// std::invalid_argument after the entries before it were appended.
void SoapListPointer2LogEntryList(const jox__AvailableLogsListType* pList, LogEntryList& rEntries);

} // namespace joxmaintenance
