#include "joxmaintenance/CommandLogGather.h"

#include "Utf8.h"
#include "joxmaintenance/ServerConnection.h"
#include "joxmaintenanceServiceProxy.h"
#include <joxmaintenance/CommandType.h>
#include "Download.h"
#include <joxwsstreaming/DownloadProgress.h>
#include <joxmaintenance/CommandStatusConversion.h>
#include <joxmaintenance/LogSources.h>
#include <joxlog/JoxLog.h>

#include <QFile>
#include <QFileInfo>

#include <memory>
#include <optional>

namespace joxmaintenance {

CommandLogGather::CommandLogGather(const QString& rServerUrl, const QString& rTargetFolder, const LogEntryList& rEntries)
    : Command(rServerUrl, ct_loggather)
    , mTargetFolder(rTargetFolder)
    , mEntries(rEntries)
    , mpProgress(std::make_shared<joxwsstreaming::DownloadProgress>())
{
}

QString CommandLogGather::GetDescription() const
{
    return QStringLiteral("GatherLogs");
}

Command* CommandLogGather::Clone() const
{
    return new CommandLogGather(*this);
}

void CommandLogGather::DoExecute()
{
    const std::string folder = ToUtf8(mTargetFolder);
    const std::string localFolder = QFile::encodeName(mTargetFolder).toStdString();
    std::optional<std::pair<int, std::string>> logFile; // size and media type of the attachment
    std::string savedPath;
    Execute(
        "joxmaintenance::CommandLogGather::DoExecute",
        [this, &folder, &localFolder, &logFile, &savedPath](ServiceProxy& rProxy, const char* pEndpoint) {
            AwaitCollectionBuild(rProxy);
            jox__LogCreateAndFetchCollectionRequest request;
            request.Sources = LogEntryList2SoapListPointer(rProxy.soap, mEntries);
            request.LogFilePath = folder;
            request.Status = CommandStatus2SoapPointer(rProxy.soap, mpStatus);
            jox__LogCreateAndFetchCollectionResponse response;
            LocalDownloadFailure failure;
            // "Save as": the collection is new, so a file of its name in the
            // folder is another one; it is stored beside that file.
            const int result = Download(
                rProxy, localFolder,
                [&] { return rProxy.LogCreateAndFetchCollection(pEndpoint, "", &request, response); },
                response.LogFile, failure, &savedPath, mpProgress.get(),
                joxwsstreaming::DownloadTarget::NameClash::FreeName);
            const QFileInfo local(QFile::decodeName(QByteArray::fromStdString(failure.mPath)));
            if (failure.mNameTaken)
            {
                const std::string name = failure.mPath.substr(failure.mPath.rfind('/') + 1);
                const std::string last = joxwsstreaming::DownloadTarget::NumberedName(
                    name, joxwsstreaming::DownloadTarget::kMaxNameNumber);
                SetLocalFault(QStringLiteral("Could not store the collection in the folder \"%1\" on this computer: "
                                             "\"%2\" and every numbered name up to \"%3\" exist there")
                                  .arg(local.path(), local.fileName(),
                                       QFile::decodeName(QByteArray::fromStdString(last))));
            }
            else if (!failure.mPath.empty())
                SetLocalFault(LocalWriteFault(failure.mPath, failure.mReason));
            if (result == SOAP_OK && response.LogFile && response.LogFile->id)
                logFile.emplace(response.LogFile->__size, response.LogFile->type ? response.LogFile->type : "");
            return result;
        },
        [this, &folder, &logFile, &savedPath](ServiceProxy&) {
            SetState(JoxCore::StateSucceeded);
            mResultPath = FromUtf8(folder);
            mSavedFile = QFile::decodeName(QByteArray::fromStdString(savedPath));
            if (logFile)
            {
                const QString message =
                    QStringLiteral("Got logfile %1 size=%2 type=%3 through streaming DIME, stored as \"%4\"\n")
                        .arg(FromUtf8(folder))
                        .arg(logFile->first)
                        .arg(FromUtf8(logFile->second), mSavedFile);
                JoxCore::Log(5, 0, "maintenance", message.toUtf8().constData(), __FILE__, __LINE__,
                             "joxmaintenance::CommandLogGather::DoExecute");
            }
        });
}

} // namespace joxmaintenance
