#pragma once

#include <joxmaintenance/Command.h>
#include <joxmaintenance/CommandStatusList.h>

#include <QString>

namespace joxmaintenance {

// Fetches the states of the server's jobs (LogStatus).
class CommandLogStatus : public Command
{
public:
    explicit CommandLogStatus(const QString& rServerUrl);

    QString GetDescription() const override;
    void DoExecute() override;
    Command* Clone() const override;

    // The server's job statuses; shared with copies. Read it under LockForRead.
    CommandStatusListPtr GetStatusList() const { return mpStatusList; }

private:
    CommandStatusListPtr mpStatusList;
};

} // namespace joxmaintenance
