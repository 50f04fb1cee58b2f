#include "joxwsstreaming/DimeCallbacks.h"

#include "joxwsstreaming/DimeFileHandle.h"
#include "joxwsstreaming/DownloadTarget.h"

#include <joxlog/JoxLog.h>
#include <joxmaintenance/LockedCommandStatusList.h>

#include <stdsoap2.h>

#include <cstdio>
#include <exception>

namespace joxwsstreaming {

namespace {

// The line defaults to the caller's, so the record names the line that logs.
void LogImportant(const char* pMessage, const char* pFunction, int line = __builtin_LINE())
{
    JoxCore::Log(3, 0, "maintenance", pMessage, __FILE__, line, pFunction);
}

const char* const kOpenFunction = "joxwsstreaming::CallbackDimeWriteOpen";
const char* const kOpenFailed = "CallbackDimeWriteOpen - !pDimeOption. \n Abort file streaming.";
const char* const kWriteFailed = "CallbackDimeWrite - !nwritten. \n Could not write to file properly. Abort streaming.";

void SetProgressDetails(const std::string& rKey, const QString& rDetails)
{
    joxmaintenance::LockedCommandStatusList locked =
        joxmaintenance::LockForWrite(joxmaintenance::GlobalCommandStatusList());
    joxmaintenance::CommandStatusPtr pStatus = locked->Get(QString::fromLatin1(rKey.data(), static_cast<int>(rKey.size())));
    if (!pStatus)
        return;
    pStatus->SetProgressDetails(rDetails);
}

} // namespace

void* CallbackDimeWriteOpen(struct soap* pSoap, const char*, const char*, const char* pOptions)
{
    if (!pOptions)
    {
        pSoap->error = SOAP_DIME_ERROR;
        LogImportant(kOpenFailed, kOpenFunction);
        return nullptr;
    }
    const std::size_t length =
        (static_cast<std::size_t>(static_cast<unsigned char>(pOptions[2])) << 8) | static_cast<unsigned char>(pOptions[3]);
    if (length <= 2)
    {
        pSoap->error = SOAP_EOF;
        return nullptr;
    }
    try
    {
        auto* pTarget = static_cast<DownloadTarget*>(pSoap->user);
        const std::string key = pTarget ? pTarget->GetLookupKey() : std::string();
        const std::string name = DownloadTarget::SafeFileName(std::string(pOptions + 4, length));
        if (!pTarget || name.empty())
        {
            LogImportant("CallbackDimeWriteOpen - refused the file name of the attachment. \n Abort file streaming.",
                         kOpenFunction);
            // The runtime keeps the fault texts by pointer: they live in the context.
            soap_set_receiver_error(pSoap, "Refused the file name of the downloaded collection",
                                    soap_strdup(pSoap, std::string(pOptions + 4, length).c_str()), SOAP_DIME_ERROR);
            return nullptr;
        }
        auto* pHandle = new DimeFileHandle(pTarget->Begin(name), key);
        SetProgressDetails(key, QStringLiteral("Started streaming of file"));
        return pHandle;
    }
    catch (const std::exception&)
    {
        LogImportant(kOpenFailed, kOpenFunction);
        pSoap->error = SOAP_EOF;
        return nullptr;
    }
}

int CallbackDimeWrite(struct soap* pSoap, void* pHandle, const char* pBuffer, std::size_t length)
{
    auto* pFile = static_cast<DimeFileHandle*>(pHandle);
    if (!pFile)
        return SOAP_OK;
    if (length > 0 && (!pFile->mFile.is_open() || !pFile->Append(pBuffer, length)))
    {
        LogImportant(kWriteFailed, "joxwsstreaming::CallbackDimeWrite");
        pSoap->error = SOAP_EOF;
        return SOAP_EOF;
    }
    return SOAP_OK;
}

void CallbackDimeWriteClose(struct soap*, void* pHandle)
{
    auto* pFile = static_cast<DimeFileHandle*>(pHandle);
    if (!pFile)
    {
        LogImportant("CallbackDimeWriteClose - !p_async_handler. \n Could not close written file properly.",
                     "joxwsstreaming::CallbackDimeWriteClose");
        return;
    }
    joxmaintenance::LockedCommandStatusList locked =
        joxmaintenance::LockForWrite(joxmaintenance::GlobalCommandStatusList());
    const std::string& rKey = pFile->mLookupKey;
    if (joxmaintenance::CommandStatusPtr pStatus =
            locked->Get(QString::fromLatin1(rKey.data(), static_cast<int>(rKey.size()))))
    {
        pStatus->SetProgressDetails(QStringLiteral("Finished streaming of file"));
        pStatus->FinishPhase();
    }
    bool complete = pFile->mFile.is_open() && pFile->Flush();
    try
    {
        if (pFile->mFile.is_open())
            pFile->mFile.close();
    }
    catch (const std::exception&)
    {
        complete = false;
    }
    if (!complete && pFile->mFilled > 0)
    {
        // The end of the data never reached the disk: no file, so the
        // download cannot be committed.
        LogImportant(kWriteFailed, "joxwsstreaming::CallbackDimeWrite");
        std::remove(pFile->mPath.c_str());
    }
    delete pFile;
}

} // namespace joxwsstreaming
