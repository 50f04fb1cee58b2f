#include <joxmaintenance/CommandPollWorkerListLogCollections.h>

#include <joxmaintenance/CommandListLogCollections.h>

#include <boost/make_shared.hpp>

namespace joxmaintenance {

void CommandPollWorkerListLogCollections::SlotPoll()
{
    RunPass([](const QString& rUrl) { return boost::make_shared<CommandListLogCollections>(rUrl); });
    RestartFastTimer();
}

void CommandPollWorkerListLogCollections::SlotPollLazy()
{
    // This poller runs on its other timer only.
}

} // namespace joxmaintenance
