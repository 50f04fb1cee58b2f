#include "joxwsstreaming/DimeCallbacks.h"

#include "joxwsstreaming/DimeFileHandle.h"
#include "joxwsstreaming/DownloadTarget.h"

#include <joxlog/JoxLog.h>
#include <joxmaintenance/LockedCommandStatusList.h>

#include <stdsoap2.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

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
const char* const kMalformedOption = "Refused the downloaded collection: malformed DIME option";
const char* const kWriteError = "Could not write the downloaded collection";

// The runtime keeps the fault texts by pointer: they are copied into the context.
int SetFault(struct soap* pSoap, const char* pText, const std::string& rDetail, int error)
{
    return soap_set_receiver_error(pSoap, pText, rDetail.empty() ? nullptr : soap_strdup(pSoap, rDetail.c_str()), error);
}

// How many bytes at pField the runtime allocated for it, 0 when unknown. The
// runtime reads each DIME field into a block of its own message memory, with a
// NUL after the field's bytes; the chain of those blocks (soap->alist) links
// each block's bookkeeping, which follows its data: the link, then the
// block's size, which counts the data rounded up and a two-byte canary.
std::size_t AllocatedFieldBytes(const struct soap* pSoap, const char* pField)
{
    const std::uintptr_t field = reinterpret_cast<std::uintptr_t>(pField);
    for (const char* pLink = static_cast<const char*>(pSoap->alist); pLink;)
    {
        std::size_t size = 0;
        std::memcpy(&size, pLink + sizeof(void*), sizeof size);
        if (reinterpret_cast<std::uintptr_t>(pLink) - size == field)
            return size > sizeof(unsigned short) ? size - sizeof(unsigned short) : 0;
        std::memcpy(&pLink, pLink, sizeof pLink);
    }
    return 0;
}

// The data of the first option in the option field of a DIME record: the
// 16-bit length in bytes 2 and 3, the data from byte 4. Only bytes the field
// really holds are read: the length must fit in the field's block, and the
// data may hold no NUL, so a field shorter than it declares (whose
// terminating NUL lies inside the declared data) is refused. Returns false,
// with rDeclared set (-1 when the field is too short to read it), when refused.
bool FirstOptionData(const struct soap* pSoap, const char* pOptions, std::string& rData, long& rDeclared)
{
    rDeclared = -1;
    // Too short for the option header, a name of three bytes and the NUL:
    // the bytes after the field's NUL are not the server's, so not even the
    // declared length is read.
    const std::size_t allocated = AllocatedFieldBytes(pSoap, pOptions);
    if (allocated < 4 + 3 + 1)
        return false;
    const std::size_t length =
        (static_cast<std::size_t>(static_cast<unsigned char>(pOptions[2])) << 8) | static_cast<unsigned char>(pOptions[3]);
    rDeclared = static_cast<long>(length);
    // The field's own bytes end with the NUL at the latest one before the canary.
    if (length <= 2 || 4 + length >= allocated || std::memchr(pOptions + 4, '\0', length))
        return false;
    rData.assign(pOptions + 4, length);
    return true;
}

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
    std::string wireName;
    long declared = -1;
    if (!FirstOptionData(pSoap, pOptions, wireName, declared))
    {
        std::string detail = "the option field is too short to name a file";
        if (declared >= 0 && declared <= 2)
            detail = "the option's file name is shorter than three bytes";
        else if (declared > 2)
            detail = "the file name's declared length (" + std::to_string(declared) +
                     " bytes) disagrees with the option field";
        if (declared < 0 || declared > 2)
            LogImportant("CallbackDimeWriteOpen - malformed DIME option. \n Abort file streaming.", kOpenFunction);
        SetFault(pSoap, kMalformedOption, detail, SOAP_EOF);
        return nullptr;
    }
    try
    {
        auto* pTarget = static_cast<DownloadTarget*>(pSoap->user);
        const std::string key = pTarget ? pTarget->GetLookupKey() : std::string();
        const std::string name = DownloadTarget::LocalFileName(wireName);
        if (!pTarget || name.empty())
        {
            LogImportant("CallbackDimeWriteOpen - refused the file name of the attachment. \n Abort file streaming.",
                         kOpenFunction);
            SetFault(pSoap, "Refused the file name of the downloaded collection", wireName, SOAP_DIME_ERROR);
            return nullptr;
        }
        const std::string temporaryPath = pTarget->Begin(name);
        if (temporaryPath.empty())
        {
            LogImportant(kOpenFailed, kOpenFunction);
            SetFault(pSoap, "Could not store the downloaded collection", pTarget->GetError(), SOAP_DIME_ERROR);
            return nullptr;
        }
        auto* pHandle = new DimeFileHandle(temporaryPath, key);
        // The reply's size limit guards its XML; an accepted attachment may be of any size.
        pSoap->recv_maxlength = 0;
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
        pFile->mFailed = true;
        LogImportant(kWriteFailed, "joxwsstreaming::CallbackDimeWrite");
        if (auto* pTarget = static_cast<DownloadTarget*>(pSoap->user))
            pTarget->Fail(pFile->mPath, pFile->GetWriteError());
        return SetFault(pSoap, kWriteError, pFile->GetWriteError(), SOAP_EOF);
    }
    return SOAP_OK;
}

void CallbackDimeWriteClose(struct soap* pSoap, void* pHandle)
{
    auto* pFile = static_cast<DimeFileHandle*>(pHandle);
    if (!pFile)
    {
        LogImportant("CallbackDimeWriteClose - !p_async_handler. \n Could not close written file properly.",
                     "joxwsstreaming::CallbackDimeWriteClose");
        return;
    }
    bool complete = !pFile->mFailed && pFile->mFile.is_open() && pFile->Flush();
    try
    {
        if (pFile->mFile.is_open())
            pFile->mFile.close();
    }
    catch (const std::exception&)
    {
        if (complete)
            pFile->mWriteErrno = errno;
        complete = false;
    }
    if (!complete)
    {
        // The end of the data never reached the disk: the download cannot be committed.
        if (!pFile->mFailed)
        {
            LogImportant(kWriteFailed, "joxwsstreaming::CallbackDimeWrite");
            const std::string cause = pFile->GetWriteError();
            if (auto* pTarget = static_cast<DownloadTarget*>(pSoap->user))
                pTarget->Fail(pFile->mPath, cause);
            if (pSoap->error == SOAP_OK)
                SetFault(pSoap, kWriteError, cause, SOAP_EOF);
        }
        std::remove(pFile->mPath.c_str());
    }
    else if (pSoap->error == SOAP_OK)
    {
        joxmaintenance::LockedCommandStatusList locked =
            joxmaintenance::LockForWrite(joxmaintenance::GlobalCommandStatusList());
        const std::string& rKey = pFile->mLookupKey;
        if (joxmaintenance::CommandStatusPtr pStatus =
                locked->Get(QString::fromLatin1(rKey.data(), static_cast<int>(rKey.size()))))
        {
            pStatus->SetProgressDetails(QStringLiteral("Finished streaming of file"));
            pStatus->FinishPhase();
        }
    }
    delete pFile;
}

} // namespace joxwsstreaming
