#pragma once

#include <cstddef>

struct soap;

namespace joxwsstreaming {

// The gSOAP DIME write callbacks that stream a downloaded collection to disk.
// The context's user-data pointer must refer to a DownloadTarget; without
// one, attachments are refused.

// Opens a temporary file in the target folder for the attachment named by
// the first DIME option, when the reply's file value refers to the record and
// no collection was taken yet; any other record gets a handle that drops its
// data. Null with the context's error set on refusal, also when the reply
// carries too many or too large record headers.
void* CallbackDimeWriteOpen(struct soap* pSoap, const char* pId, const char* pType, const char* pOptions);
// Writes one piece, crediting it to the reply's size limit; 0 on success,
// nonzero (and the context's error) on failure.
int CallbackDimeWrite(struct soap* pSoap, void* pHandle, const char* pBuffer, std::size_t length);
// Closes the file and reports the finished download.
void CallbackDimeWriteClose(struct soap* pSoap, void* pHandle);

} // namespace joxwsstreaming
