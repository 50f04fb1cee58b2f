#include "joxmaintenance/LockedCommandStatusList.h"

namespace joxmaintenance {

LockedCommandStatusList::LockedCommandStatusList(CommandStatusListPtr pList, bool forWrite)
    : mpList(std::move(pList))
{
    if (!mpList)
        return;
    if (forWrite)
        mpList->GetLock().lockForWrite();
    else
        mpList->GetLock().lockForRead();
}

LockedCommandStatusList::LockedCommandStatusList(LockedCommandStatusList&& rOther) noexcept
    : mpList(std::move(rOther.mpList))
{
    rOther.mpList.reset();
}

LockedCommandStatusList::~LockedCommandStatusList()
{
    if (mpList)
        mpList->GetLock().unlock();
    mpList.reset();
}

LockedCommandStatusList LockForRead(const CommandStatusListPtr& rpList)
{
    return LockedCommandStatusList(rpList, false);
}

LockedCommandStatusList LockForWrite(const CommandStatusListPtr& rpList)
{
    return LockedCommandStatusList(rpList, true);
}

} // namespace joxmaintenance
