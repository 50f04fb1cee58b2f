#pragma once

#include <joxmaintenance/CommandPollWorker.h>

namespace joxmaintenance {

// Polls CommandListAvailableLogs on the slow timer.
class CommandPollWorkerListAvailableLogs : public CommandPollWorker
{
    Q_OBJECT

public slots:
    void SlotPoll() override;
    void SlotPollLazy() override;
};

} // namespace joxmaintenance
