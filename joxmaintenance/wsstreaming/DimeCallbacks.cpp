#include "joxwsstreaming/DimeCallbacks.h"

#include "joxwsstreaming/CollectionName.h"
#include "joxwsstreaming/DimeFileHandle.h"
#include "joxwsstreaming/DownloadProgress.h"
#include "joxwsstreaming/DownloadTarget.h"

#include <joxlog/JoxLog.h>
#include <joxmaintenance/LockedCommandStatusList.h>

#include <stdsoap2.h>

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iterator>
#include <optional>
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

// The 12 bytes of a DIME record header before its fields.
constexpr std::size_t kDimeHeaderBytes = 12;

std::uint64_t Padding(std::uint64_t length)
{
    return (4 - length % 4) % 4;
}

// The length the record header declared for a field the runtime read, as
// the field shows it. The runtime reads a field of n bytes into a block that
// holds n + 1 bytes rounded up by at most 7, and puts a NUL after them. An
// id or a type shows its length up to its first NUL, an option field the
// length of its first option with the 4-byte option header; when the block
// could not hold a field of that length, the most it could hold is taken.
// So the length is exact for fields as senders write them (text without a
// NUL, one option) and never more than 7 bytes short.
std::uint64_t ShownLength(const struct soap* pSoap, const char* pField, bool options)
{
    if (!pField)
        return 0;
    const std::size_t allocated = AllocatedFieldBytes(pSoap, pField);
    if (allocated == 0)
        return std::strlen(pField); // not the runtime's, so a caller's string
    std::size_t shown = 0;
    if (!options)
        shown = static_cast<std::size_t>(std::find(pField, pField + allocated, '\0') - pField);
    else if (allocated >= 4)
        shown = 4 + ((static_cast<std::size_t>(static_cast<unsigned char>(pField[2])) << 8) |
                     static_cast<unsigned char>(pField[3]));
    return shown < allocated && shown + 8 >= allocated ? shown : allocated - 1;
}

// What the header fields of the record the runtime has just read took as
// sent, with their padding. The runtime's read position tells it exactly:
// between the end of the last record the callbacks followed (its data and
// padding) and the start of this record's data lie only this record's
// 12-byte header and its fields. The end of the record before the first
// attachment, the envelope's, is not seen: there the fields tell their own
// lengths, as they also do where the position has not moved past a record
// header (the callbacks driven without the runtime's reader).
std::uint64_t SentFieldBytes(struct soap* pSoap, const DownloadTarget* pTarget, const char* const (&rFields)[3])
{
    const std::uint64_t at = soap_tell(pSoap);
    const std::optional<std::uint64_t> end = pTarget ? pTarget->GetRecordEnd() : std::nullopt;
    if (end && at >= *end + kDimeHeaderBytes)
        return at - *end - kDimeHeaderBytes;
    std::uint64_t bytes = 0;
    for (const char* pField : {rFields[0], rFields[1]})
    {
        const std::uint64_t length = ShownLength(pSoap, pField, false);
        bytes += length + Padding(length);
    }
    const std::uint64_t length = ShownLength(pSoap, rFields[2], true);
    return bytes + length + Padding(length);
}

// Accounts a record that starts a payload in the reply's target, its header
// and padding as framing; false, with the context's fault set, when the
// reply may not carry it.
bool CountRecord(struct soap* pSoap, DownloadTarget& rTarget, const char* const (&rFields)[3], const char* pFunction)
{
    std::string error;
    const std::uint64_t fieldBytes = SentFieldBytes(pSoap, &rTarget, rFields);
    if (rTarget.CountRecord(fieldBytes, error))
    {
        rTarget.CountFraming(kDimeHeaderBytes + fieldBytes + Padding(pSoap->dime.size));
        return true;
    }
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

// The handle follows the records of its attachment from the one it was
// opened for, whose header fields it remembers.
DimeFileHandle* ForRecord(struct soap* pSoap, DimeFileHandle* pHandle, const char* pId, const char* pType,
                          const char* pOptions)
{
    pHandle->mpRecordFields[0] = pId;
    pHandle->mpRecordFields[1] = pType;
    pHandle->mpRecordFields[2] = pOptions;
    pHandle->mRecordLeft = pSoap->dime.size;
    pHandle->mInRecord = true;
    return pHandle;
}

// Follows the data of an attachment through its chunk records. A chunk
// record continues the payload of the record before it, whatever header
// fields it repeats: it costs no record, only framing, and the fields it
// repeats are freed at once (within the bound on one record's fields).
// False, with the context's fault set, when the reply may not carry it.
bool CountChunkRecord(struct soap* pSoap, DimeFileHandle& rFile, std::size_t length)
{
    auto* pTarget = static_cast<DownloadTarget*>(pSoap->user);
    if (!rFile.mInRecord)
    {
        const char** const fields[3] = {&pSoap->dime.id, &pSoap->dime.type, &pSoap->dime.options};
        const char* const values[3] = {*fields[0], *fields[1], *fields[2]};
        const std::uint64_t fieldBytes = SentFieldBytes(pSoap, pTarget, values);
        std::string error;
        if (pTarget && !pTarget->CountContinuation(fieldBytes, error))
        {
            LogImportant("Refused the reply's DIME records: too large record headers. \n Abort file streaming.",
                         "joxwsstreaming::CallbackDimeWrite");
            SetFault(pSoap, kRecordsRefused, error, SOAP_DIME_ERROR);
            rFile.mFailed = true;
            return false;
        }
        const std::uint64_t framing = kDimeHeaderBytes + fieldBytes + Padding(pSoap->dime.size);
        if (pTarget)
            pTarget->CountFraming(framing);
        // The framing of the stored attachment is credited like its data; the
        // reply's bound on framing keeps it small.
        if (!rFile.mSkipped && pSoap->recv_maxlength > 0)
            pSoap->recv_maxlength += framing;
        for (const char** ppField : fields)
        {
            if (*ppField && AllocatedFieldBytes(pSoap, *ppField) > 0 &&
                std::find(std::begin(rFile.mpRecordFields), std::end(rFile.mpRecordFields), *ppField) ==
                    std::end(rFile.mpRecordFields))
            {
                soap_dealloc(pSoap, const_cast<char*>(*ppField));
                *ppField = nullptr;
            }
        }
        rFile.mRecordLeft = pSoap->dime.size;
        rFile.mInRecord = true;
    }
    rFile.mRecordLeft -= std::min<std::uint64_t>(rFile.mRecordLeft, length);
    // An empty record ends with the piece it brings.
    if (rFile.mRecordLeft == 0)
    {
        rFile.mInRecord = false;
        if (pTarget)
            pTarget->SetRecordEnd(soap_tell(pSoap) + length + Padding(pSoap->dime.size));
    }
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

// A handle that reads a record past without storing it.
void* OpenSkipped(struct soap* pSoap, const char* pId, const char* pType, const char* pOptions)
{
    try
    {
        return ForRecord(pSoap, new DimeFileHandle(), pId, pType, pOptions);
    }
    catch (const std::exception&)
    {
        LogImportant(kOpenFailed, kOpenFunction);
        pSoap->error = SOAP_EOF;
        return nullptr;
    }
}

// Opens the temporary file of the reply's collection, named by the first
// DIME option; refuses the attachment without a target.
void* OpenCollection(struct soap* pSoap, DownloadTarget* pTarget, const char* pId, const char* pType,
                     const char* pOptions)
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
        QString refusal;
        const std::string name = QFile::encodeName(CollectionName::FileName(wireName, &refusal)).toStdString();
        if (!pTarget || name.empty())
        {
            LogImportant("CallbackDimeWriteOpen - refused the file name of the attachment. \n Abort file streaming.",
                         kOpenFunction);
            // The name as the program shows names, so that it cannot pass for another.
            const QString detail = QStringLiteral("\"%1\"").arg(CollectionName::Readable(wireName)) +
                                   (refusal.isEmpty() ? QString() : QLatin1Char(' ') + refusal);
            SetFault(pSoap, "Refused the file name of the downloaded collection", detail.toUtf8().toStdString(),
                     SOAP_DIME_ERROR);
            return nullptr;
        }
        const std::string temporaryPath = pTarget->Begin(name);
        if (temporaryPath.empty())
        {
            LogImportant(kOpenFailed, kOpenFunction);
            SetFault(pSoap, "Could not store the downloaded collection", pTarget->GetError(), SOAP_DIME_ERROR);
            return nullptr;
        }
        const std::string& rKey = pTarget->GetLookupKey();
        auto* pHandle = ForRecord(pSoap, new DimeFileHandle(temporaryPath, rKey), pId, pType, pOptions);
        pTarget->TakeCollection();
        // A record that is not chunked declares its data's length up front.
        if (pTarget->GetProgress() && !(pSoap->dime.flags & SOAP_DIME_CF))
            pTarget->GetProgress()->SetTotal(pSoap->dime.size);
        // The reply's size limit keeps guarding all but this attachment's
        // data, which the write callback credits to it as it arrives; the
        // runtime reads up to one buffer ahead of the callbacks.
        if (pSoap->recv_maxlength > 0)
            pSoap->recv_maxlength += sizeof pSoap->buf;
        SetProgressDetails(rKey, QStringLiteral("Started streaming of file"));
        return pHandle;
    }
    catch (const std::exception&)
    {
        LogImportant(kOpenFailed, kOpenFunction);
        pSoap->error = SOAP_EOF;
        return nullptr;
    }
}

} // namespace

void* CallbackDimeWriteOpen(struct soap* pSoap, const char* pId, const char* pType, const char* pOptions)
{
    auto* pTarget = static_cast<DownloadTarget*>(pSoap->user);
    if (pTarget)
    {
        // Every record's header fields stay in the context's memory until the call ends.
        if (!CountRecord(pSoap, *pTarget, {pId, pType, pOptions}, kOpenFunction))
            return nullptr;
        // One collection per reply: the record the reply's file value refers
        // to. Any other is read past without being stored.
        if (pTarget->HasCollection() || !IsReferenced(pSoap, pId))
            return OpenSkipped(pSoap, pId, pType, pOptions);
    }
    return OpenCollection(pSoap, pTarget, pId, pType, pOptions);
}

int CallbackDimeWrite(struct soap* pSoap, void* pHandle, const char* pBuffer, std::size_t length)
{
    auto* pFile = static_cast<DimeFileHandle*>(pHandle);
    if (!pFile)
        return SOAP_OK;
    if (!CountChunkRecord(pSoap, *pFile, length))
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
        pSoap->recv_maxlength += length;
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
