#pragma once

#include <joxmaintenance/CommandPollWorker.h>

namespace joxmaintenance {

// Polls CommandLogStatus on the fast timer.
class CommandPollWorkerStatus : public CommandPollWorker
{
    Q_OBJECT

public slots:
    void SlotPoll() override;
    void SlotPollLazy() override;
};

} // namespace joxmaintenance
