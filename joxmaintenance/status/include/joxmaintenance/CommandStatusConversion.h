#pragma once

#include <joxmaintenance/CommandStatus.h>
#include <joxmaintenance/LockedCommandStatusList.h>

struct soap;

namespace joxmaintenance {

class jox__CommandStatusType;
class jox__CommandStatusListType;

// The wire form of a status, allocated in the call's context; null for a null
// status or one without identifier. Details go out only when not empty.
jox__CommandStatusType* CommandStatus2SoapPointer(struct soap* pSoap, const CommandStatusPtr& rStatus);
// A new status from its wire form; null for a null record.
CommandStatusPtr SoapPointer2CommandStatus(const jox__CommandStatusType* pStatus);
// Adds every entry of the wire list, in order, to the write-locked list.
void SoapListPointer2CommandStatusList(const LockedCommandStatusList& rList, const jox__CommandStatusListType* pList);

} // namespace joxmaintenance
