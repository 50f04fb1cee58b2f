#include "joxmaintenance/CommandStatus.h"

#include "joxmaintenance/CommandType.h"

#include <joxlog/JoxLog.h>

namespace joxmaintenance {

CommandStatus::CommandStatus(const QString& rCommandId, const QString& rClientIp, int commandType, int commandStatus,
                             int finishedPhases, double progressPercent)
    : mCommandId(rCommandId)
    , mClientIp(rClientIp)
    , mCommandType(commandType)
    , mCommandStatus(commandStatus)
    , mProgressPercent(progressPercent)
    , mFinishedPhases(finishedPhases)
    , mTotalPhases(commandType == ct_loggather ? 2 : 1)
{
}

void CommandStatus::SetProgressPercent(double percent)
{
    if (mFinishedPhases == mTotalPhases)
    {
        JoxCore::Log(3, 0, "maintenance",
                     "SetProgressPercent - set progress of an already finished command. Default to 100%", __FILE__,
                     __LINE__, "joxmaintenance::CommandStatus::SetProgressPercent");
        mProgressPercent = 100.0;
        return;
    }
    mProgressPercent = static_cast<double>(mFinishedPhases) / static_cast<double>(mTotalPhases) * 100.0 +
                      percent / static_cast<double>(mTotalPhases);
}

void CommandStatus::FinishPhase()
{
    SetProgressPercent(100.0);
    if (mFinishedPhases < mTotalPhases)
        ++mFinishedPhases;
    if (mFinishedPhases == mTotalPhases)
        mCommandStatus = cs_finished;
}

} // namespace joxmaintenance
