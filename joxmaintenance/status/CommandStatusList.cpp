#include "joxmaintenance/CommandStatusList.h"

#include <boost/make_shared.hpp>

namespace joxmaintenance {

CommandStatusList::CommandStatusList()
    : mLock(QReadWriteLock::Recursive)
{
}

bool CommandStatusList::Add(const CommandStatusPtr& rStatus)
{
    if (!rStatus)
        return false;
    return mStatuses.emplace(rStatus->GetCommandId(), rStatus).second;
}

CommandStatusPtr CommandStatusList::Get(const QString& rCommandId) const
{
    auto found = mStatuses.find(rCommandId);
    return found == mStatuses.end() ? CommandStatusPtr() : found->second;
}

CommandStatusListPtr GlobalCommandStatusList()
{
    static const CommandStatusListPtr pGlobal = boost::make_shared<CommandStatusList>();
    return pGlobal;
}

} // namespace joxmaintenance
