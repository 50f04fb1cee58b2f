#pragma once

#include <joxmaintenance/Command.h>
#include <joxmaintenance/LogEntry.h>

#include <QString>

namespace joxmaintenance {

// Lists the log sources the server offers (LogList).
class CommandListAvailableLogs : public Command
{
public:
    explicit CommandListAvailableLogs(const QString& rServerUrl);

    QString GetDescription() const override;
    void DoExecute() override;
    Command* Clone() const override;

    // A copy of the sources the server listed.
    LogEntryList GetLogEntries() const { return mEntries; }

private:
    LogEntryList mEntries;
};

} // namespace joxmaintenance
