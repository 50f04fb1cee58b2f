#pragma once

#include <joxmaintenance/CommandPollWorker.h>

namespace joxmaintenance {

// Polls CommandListLogCollections on the fast timer.
class CommandPollWorkerListLogCollections : public CommandPollWorker
{
    Q_OBJECT

public slots:
    void SlotPoll() override;
    void SlotPollLazy() override;
};

} // namespace joxmaintenance
