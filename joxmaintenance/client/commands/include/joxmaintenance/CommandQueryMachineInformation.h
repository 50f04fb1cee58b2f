#pragma once

#include <joxmaintenance/Command.h>

#include <QString>

namespace joxmaintenance {

// Asks for the server's name and versions (ServiceFetchInformation).
class CommandQueryMachineInformation : public Command
{
public:
    explicit CommandQueryMachineInformation(const QString& rServerUrl);

    QString GetDescription() const override;
    void DoExecute() override;
    Command* Clone() const override;

    QString GetServiceVersion() const { return mServiceVersion; }
    QString GetSoftwareVersion() const { return mSoftwareVersion; }
    QString GetName() const { return mName; }

private:
    QString mServiceVersion;
    QString mSoftwareVersion;
    QString mName;
};

} // namespace joxmaintenance
