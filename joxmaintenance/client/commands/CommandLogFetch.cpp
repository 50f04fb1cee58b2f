#include "joxmaintenance/CommandLogFetch.h"

#include "Utf8.h"
#include "joxmaintenanceServiceProxy.h"
#include <joxmaintenance/CommandType.h>
#include "Download.h"
#include <joxwsstreaming/DownloadProgress.h>
#include <joxmaintenance/CommandStatusConversion.h>

#include <QFile>

#include <memory>

namespace joxmaintenance {

CommandLogFetch::CommandLogFetch(const QString& rServerUrl, const QString& rTargetFolder, const QString& rCollectionName)
    : Command(rServerUrl, ct_fetchlog)
    , mTargetFolder(rTargetFolder)
    , mCollectionName(rCollectionName)
    , mpProgress(std::make_shared<joxwsstreaming::DownloadProgress>())
{
}

QString CommandLogFetch::GetDescription() const
{
    return QStringLiteral("FetchLogs");
}

Command* CommandLogFetch::Clone() const
{
    return new CommandLogFetch(*this);
}

void CommandLogFetch::DoExecute()
{
    const std::string folder = ToUtf8(mTargetFolder);
    const std::string localFolder = QFile::encodeName(mTargetFolder).toStdString();
    std::string savedPath;
    Execute(
        "joxmaintenance::CommandLogFetch::DoExecute",
        [this, &folder, &localFolder, &savedPath](ServiceProxy& rProxy, const char* pEndpoint) {
            jox__LogFetchCollectionRequest request;
            request.ClientPath = folder;
            request.LogFileName = ToUtf8(mCollectionName);
            request.Status = CommandStatus2SoapPointer(rProxy.soap, mpStatus);
            jox__LogFetchCollectionResponse response;
            LocalDownloadFailure failure;
            const int result = Download(
                rProxy, localFolder, [&] { return rProxy.LogFetchCollection(pEndpoint, "", &request, response); },
                response.LogFile, failure, &savedPath, mpProgress.get());
            if (failure.mNameTaken)
                SetLocalFault(QStringLiteral("The file \"%1\" already exists on this computer and was kept; the "
                                             "collection was not downloaded")
                                  .arg(QFile::decodeName(QByteArray::fromStdString(failure.mPath))));
            else if (!failure.mPath.empty())
                SetLocalFault(LocalWriteFault(failure.mPath, failure.mReason));
            return result;
        },
        [this, &savedPath](ServiceProxy&) {
            SetState(JoxCore::StateSucceeded);
            mSavedFile = QFile::decodeName(QByteArray::fromStdString(savedPath));
        });
}

} // namespace joxmaintenance
