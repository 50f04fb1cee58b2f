#pragma once

#include <joxmaintenance/Command.h>
#include <joxmaintenance/LogEntry.h>

#include <QString>

#include <memory>

namespace joxwsstreaming {
class DownloadProgress;
}

namespace joxmaintenance {

// Has the server build a collection from log sources and streams it straight
// into a local folder (LogCreateAndFetchCollection).
class CommandLogGather : public Command
{
public:
    CommandLogGather(const QString& rServerUrl, const QString& rTargetFolder, const LogEntryList& rEntries);

    QString GetDescription() const override;
    void DoExecute() override;
    Command* Clone() const override;

    QString GetTargetFolder() const { return mTargetFolder; }
    // The folder that was sent, once the command succeeded; empty before.
    QString GetResultPath() const { return mResultPath; }
    // The local path of the stored file, once the command succeeded.
    QString GetSavedFile() const { return mSavedFile; }
    // How far the download has come; any thread may read it while it runs.
    std::shared_ptr<const joxwsstreaming::DownloadProgress> GetProgress() const { return mpProgress; }

private:
    QString mTargetFolder;
    LogEntryList mEntries;
    QString mResultPath;
    QString mSavedFile;
    // Counted by the download thread; a clone shares it.
    std::shared_ptr<joxwsstreaming::DownloadProgress> mpProgress;
};

} // namespace joxmaintenance
