#include <joxmaintenance/CommandPollWorkerStatus.h>

#include <joxmaintenance/CommandLogStatus.h>

#include <boost/make_shared.hpp>

namespace joxmaintenance {

void CommandPollWorkerStatus::SlotPoll()
{
    RunPass([](const QString& rUrl) { return boost::make_shared<CommandLogStatus>(rUrl); });
    RestartFastTimer();
}

void CommandPollWorkerStatus::SlotPollLazy()
{
    // This poller runs on its other timer only.
}

} // namespace joxmaintenance
