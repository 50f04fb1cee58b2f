#pragma once

#include <joxmaintenance/CommandStatusList.h>

namespace joxmaintenance {

// Holds one reference to a list and one lock on it (read or write); going
// away releases the lock first, then the reference.
class LockedCommandStatusList
{
public:
    LockedCommandStatusList(CommandStatusListPtr pList, bool forWrite);
    LockedCommandStatusList(LockedCommandStatusList&& rOther) noexcept;
    ~LockedCommandStatusList();
    LockedCommandStatusList(const LockedCommandStatusList&) = delete;
    LockedCommandStatusList& operator=(const LockedCommandStatusList&) = delete;
    LockedCommandStatusList& operator=(LockedCommandStatusList&&) = delete;

    // Null when the handle holds no list.
    CommandStatusList* operator->() const { return mpList.get(); }
    CommandStatusList* Get() const { return mpList.get(); }
    explicit operator bool() const { return static_cast<bool>(mpList); }

private:
    CommandStatusListPtr mpList;
};

// A handle that read-locks the list (a null list gives an empty handle).
LockedCommandStatusList LockForRead(const CommandStatusListPtr& rpList);
// A handle that write-locks the list (a null list gives an empty handle).
LockedCommandStatusList LockForWrite(const CommandStatusListPtr& rpList);

} // namespace joxmaintenance
