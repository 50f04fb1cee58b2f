#pragma once

#include <joxmaintenance/Command.h>

#include <QObject>

namespace joxmaintenance {

// Runs one requested command on a thread made for it alone and hands it back
// through SigWorkFinished.
class MaintenanceWorker : public QObject
{
    Q_OBJECT

public:
    // Keeps a shared reference to the command until destroyed; no parent.
    explicit MaintenanceWorker(CommandPtr pCommand);

signals:
    void SigWorkFinished(joxmaintenance::CommandPtr pCommand);

public slots:
    // Executes the command (when there is one) and emits it in every case.
    void SlotDoWork();

private:
    CommandPtr mpCommand;
};

} // namespace joxmaintenance
