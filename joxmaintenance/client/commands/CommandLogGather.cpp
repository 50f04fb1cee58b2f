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
            const int result = Download(
                rProxy, localFolder,
                [&] { return rProxy.LogCreateAndFetchCollection(pEndpoint, "", &request, response); },
                response.LogFile, failure, &savedPath, mpProgress.get());
            const QFileInfo local(QFile::decodeName(QByteArray::fromStdString(failure.mPath)));
            if (failure.mNameTaken)
                SetLocalFault(QStringLiteral("The collection was built and stays on the server as \"%1\". A file of "
                                             "that name exists in the folder \"%2\" on this computer: move that "
                                             "file away first, then download the collection from the list")
                                  .arg(local.fileName(), local.path()));
            else if (!failure.mPath.empty())
                SetLocalFault(LocalWriteFault(failure.mPath, failure.mReason));
            if (result == SOAP_OK && response.LogFile && response.LogFile->id)
                logFile.emplace(response.LogFile->__size, response.LogFile->type ? response.LogFile->type : "");
            return result;
        },
        [this, &folder, &logFile, &savedPath](ServiceProxy&) {
            SetState(JoxCore::StateSucceeded);
            if (logFile)
            {
                const QString message = QStringLiteral("Got logfile %1 size=%2 type=%3 through streaming DIME\n")
                                            .arg(FromUtf8(folder))
                                            .arg(logFile->first)
                                            .arg(FromUtf8(logFile->second));
                JoxCore::Log(5, 0, "maintenance", message.toUtf8().constData(), __FILE__, __LINE__,
                             "joxmaintenance::CommandLogGather::DoExecute");
            }
            mResultPath = FromUtf8(folder);
            mSavedFile = QFile::decodeName(QByteArray::fromStdString(savedPath));
        });
}

} // namespace joxmaintenance
