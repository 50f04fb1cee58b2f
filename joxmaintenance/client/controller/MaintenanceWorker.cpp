#include <joxmaintenance/MaintenanceWorker.h>

namespace joxmaintenance {

MaintenanceWorker::MaintenanceWorker(CommandPtr pCommand)
    : QObject(nullptr)
    , mpCommand(std::move(pCommand))
{
}

void MaintenanceWorker::SlotDoWork()
{
    if (mpCommand)
        mpCommand->DoExecute();
    emit SigWorkFinished(mpCommand);
}

} // namespace joxmaintenance
