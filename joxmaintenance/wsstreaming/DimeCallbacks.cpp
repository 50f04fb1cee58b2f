#include "joxwsstreaming/DimeCallbacks.h"

#include "joxwsstreaming/DimeFileHandle.h"
#include "joxwsstreaming/DownloadProgress.h"
#include "joxwsstreaming/DownloadTarget.h"

#include <joxlog/JoxLog.h>
#include <joxmaintenance/LockedCommandStatusList.h>

#include <stdsoap2.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iterator>
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
const char* const kRecordsRefused = "Refused the reply's DIME records";
// What a chunk record of an attachment takes besides its data when it
// carries no header fields: its 12-byte header and at most 3 padding bytes.
constexpr std::size_t kChunkRecordFraming = 16;

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
// This is gSOAP 2.8.124's private layout (soap_malloc in stdsoap2.cpp), not
// its interface: cmake/TandrilGsoapVersion.cmake stops the build on any other
// release, since a layout read wrongly would refuse every download.
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

// What the header fields of a DIME record hold in the context's memory.
std::size_t HeaderBytes(const struct soap* pSoap, const char* const (&rFields)[3])
{
    std::size_t bytes = 0;
    for (const char* pField : rFields)
    {
        if (pField)
            bytes += AllocatedFieldBytes(pSoap, pField);
    }
    return bytes;
}

// Accounts a record with header fields in the reply's target; false, with
// the context's fault set, when the reply may not carry it.
bool CountRecord(struct soap* pSoap, DownloadTarget& rTarget, const char* const (&rFields)[3], const char* pFunction)
{
    std::string error;
    if (rTarget.CountRecord(HeaderBytes(pSoap, rFields), error))
        return true;
    LogImportant("Refused the reply's DIME records: too many or too large record headers. \n Abort file streaming.",
                 pFunction);
    SetFault(pSoap, kRecordsRefused, error, SOAP_DIME_ERROR);
    return false;
}

// Whether the record with the identifier pId is the one an element of the
// reply refers to (the runtime's own matching, which later resolves it).
bool IsReferenced(struct soap* pSoap, const char* pId)
{
    if (!pId)
        return false;
    for (const struct soap_xlist* pReference = pSoap->xlist; pReference; pReference = pReference->next)
    {
        if (pReference->id && soap_match_cid(pSoap, pReference->id, pId) == 0)
            return true;
    }
    return false;
}

// The handle remembers the header fields of the record it was opened for.
DimeFileHandle* ForRecord(DimeFileHandle* pHandle, const char* pId, const char* pType, const char* pOptions)
{
    pHandle->mpRecordFields[0] = pId;
    pHandle->mpRecordFields[1] = pType;
    pHandle->mpRecordFields[2] = pOptions;
    return pHandle;
}

// The data of an attachment may come in chunk records; one that carries
// header fields is accounted as a record of its own. False, with the
// context's fault set, when the reply may not carry it.
bool CountChunkRecord(struct soap* pSoap, DimeFileHandle& rFile)
{
    const char* const fields[3] = {pSoap->dime.id, pSoap->dime.type, pSoap->dime.options};
    if (std::equal(std::begin(fields), std::end(fields), std::begin(rFile.mpRecordFields)))
        return true;
    std::copy(std::begin(fields), std::end(fields), std::begin(rFile.mpRecordFields));
    auto* pTarget = static_cast<DownloadTarget*>(pSoap->user);
    if (!pTarget || (!fields[0] && !fields[1] && !fields[2]))
        return true;
    if (CountRecord(pSoap, *pTarget, fields, "joxwsstreaming::CallbackDimeWrite"))
        return true;
    if (!rFile.mSkipped)
        pTarget->Fail(rFile.mPath, std::string(kRecordsRefused) + ": " + *soap_faultdetail(pSoap));
    rFile.mFailed = true;
    return false;
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

void* CallbackDimeWriteOpen(struct soap* pSoap, const char* pId, const char* pType, const char* pOptions)
{
    if (auto* pTarget = static_cast<DownloadTarget*>(pSoap->user))
    {
        // Every record's header fields stay in the context's memory until the call ends.
        if (!CountRecord(pSoap, *pTarget, {pId, pType, pOptions}, kOpenFunction))
            return nullptr;
        // One collection per reply: the record the reply's file value refers
        // to. Any other is read past without being stored.
        if (pTarget->HasCollection() || !IsReferenced(pSoap, pId))
        {
            try
            {
                return ForRecord(new DimeFileHandle(), pId, pType, pOptions);
            }
            catch (const std::exception&)
            {
                LogImportant(kOpenFailed, kOpenFunction);
                pSoap->error = SOAP_EOF;
                return nullptr;
            }
        }
    }
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
        auto* pHandle = ForRecord(new DimeFileHandle(temporaryPath, key), pId, pType, pOptions);
        pTarget->TakeCollection();
        // A record that is not chunked declares its data's length up front.
        if (pTarget->GetProgress() && !(pSoap->dime.flags & SOAP_DIME_CF))
            pTarget->GetProgress()->SetTotal(pSoap->dime.size);
        // The reply's size limit keeps guarding all but this attachment's
        // data, which the write callback credits to it as it arrives; the
        // runtime reads up to one buffer ahead of the callbacks.
        if (pSoap->recv_maxlength > 0)
            pSoap->recv_maxlength += sizeof pSoap->buf;
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
    if (!CountChunkRecord(pSoap, *pFile))
        return pSoap->error;
    if (pFile->mSkipped)
        return SOAP_OK;
    if (length > 0 && (!pFile->mFile.is_open() || !pFile->Append(pBuffer, length)))
    {
        pFile->mFailed = true;
        LogImportant(kWriteFailed, "joxwsstreaming::CallbackDimeWrite");
        if (auto* pTarget = static_cast<DownloadTarget*>(pSoap->user))
            pTarget->Fail(pFile->mPath, pFile->GetWriteError());
        return SetFault(pSoap, kWriteError, pFile->GetWriteError(), SOAP_EOF);
    }
    if (pSoap->recv_maxlength > 0)
        pSoap->recv_maxlength += length + kChunkRecordFraming;
    if (auto* pTarget = static_cast<DownloadTarget*>(pSoap->user); pTarget && pTarget->GetProgress())
        pTarget->GetProgress()->AddReceived(length);
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
    if (pFile->mSkipped)
    {
        delete pFile;
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
