#pragma once

#include <joxmaintenance/Command.h>
#include <QStringList>

#include <QString>

namespace joxmaintenance {

// Lists the collections stored on the server (LogListCollections).
class CommandListLogCollections : public Command
{
public:
    explicit CommandListLogCollections(const QString& rServerUrl);

    QString GetDescription() const override;
    void DoExecute() override;
    Command* Clone() const override;

    // A copy of the collection names the server listed.
    QStringList GetLogCollections() const { return mCollections; }

private:
    QStringList mCollections;
};

} // namespace joxmaintenance
