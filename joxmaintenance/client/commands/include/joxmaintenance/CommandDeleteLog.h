#pragma once

#include <joxmaintenance/Command.h>

#include <QString>

namespace joxmaintenance {

// Deletes one collection on the server (LogDeleteCollection).
class CommandDeleteLog : public Command
{
public:
    CommandDeleteLog(const QString& rServerUrl, const QString& rCollectionName);

    QString GetDescription() const override;
    void DoExecute() override;
    Command* Clone() const override;

    QString GetCollectionName() const { return mCollectionName; }

private:
    QString mCollectionName;
};

} // namespace joxmaintenance
