#pragma once

#include <joxmaintenance/Command.h>

#include <QString>

namespace joxmaintenance {

// Deletes all collections on the server (LogDeleteAllCollections).
class CommandClearLogEntries : public Command
{
public:
    explicit CommandClearLogEntries(const QString& rServerUrl);

    QString GetDescription() const override;
    void DoExecute() override;
    Command* Clone() const override;
};

} // namespace joxmaintenance
