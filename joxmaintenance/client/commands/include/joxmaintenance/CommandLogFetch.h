#pragma once

#include <joxmaintenance/Command.h>

#include <QString>

#include <memory>

namespace joxwsstreaming {
class DownloadProgress;
}

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
    // How far the download has come; any thread may read it while it runs.
    std::shared_ptr<const joxwsstreaming::DownloadProgress> GetProgress() const { return mpProgress; }

private:
    QString mTargetFolder;
    QString mCollectionName;
    QString mSavedFile;
    // Counted by the download thread; a clone shares it.
    std::shared_ptr<joxwsstreaming::DownloadProgress> mpProgress;
};

} // namespace joxmaintenance
