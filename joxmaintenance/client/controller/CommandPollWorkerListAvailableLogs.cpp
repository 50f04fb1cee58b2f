#include <joxmaintenance/CommandPollWorkerListAvailableLogs.h>

#include <joxmaintenance/CommandListAvailableLogs.h>

#include <boost/make_shared.hpp>

namespace joxmaintenance {

void CommandPollWorkerListAvailableLogs::SlotPoll()
{
    // This poller runs on its other timer only.
}

void CommandPollWorkerListAvailableLogs::SlotPollLazy()
{
    RunPass([](const QString& rUrl) { return boost::make_shared<CommandListAvailableLogs>(rUrl); });
    RestartSlowTimer();
}

} // namespace joxmaintenance
