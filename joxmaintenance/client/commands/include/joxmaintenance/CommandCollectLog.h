#pragma once

#include <joxmaintenance/Command.h>
#include <joxmaintenance/LogEntry.h>

#include <QString>

namespace joxmaintenance {

// Has the server build and store a collection (LogCreateCollection).
class CommandCollectLog : public Command
{
public:
    CommandCollectLog(const QString& rServerUrl, const LogEntryList& rEntries);

    QString GetDescription() const override;
    void DoExecute() override;
    Command* Clone() const override;

private:
    LogEntryList mEntries;
};

} // namespace joxmaintenance
