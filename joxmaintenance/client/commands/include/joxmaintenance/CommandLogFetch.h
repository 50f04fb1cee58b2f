#pragma once

#include <joxmaintenance/Command.h>

#include <QString>

namespace joxmaintenance {

// Downloads a stored collection into a local folder (LogFetchCollection).
class CommandLogFetch : public Command
{
public:
    CommandLogFetch(const QString& rServerUrl, const QString& rTargetFolder, const QString& rCollectionName);

    QString GetDescription() const override;
    void DoExecute() override;
    Command* Clone() const override;

    QString GetTargetFolder() const { return mTargetFolder; }
    QString GetCollectionName() const { return mCollectionName; }
    // The local path of the stored file, once the command succeeded.
    QString GetSavedFile() const { return mSavedFile; }

private:
    QString mTargetFolder;
    QString mCollectionName;
    QString mSavedFile;
};

} // namespace joxmaintenance
