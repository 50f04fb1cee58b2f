#pragma once

// gSOAP plugin that logs every message a context sends or receives, at level
// 5 in the categories "gSOAP-send" and "gSOAP-recv", in pieces of at most
// 3,499 characters with white space runs folded into single blanks.
//   soap_register_plugin(pSoap, logging_joxcore_register);

#include <stdsoap2.h>

#include <cstddef>

#define LOGGING_JOXCORE_ID "LOGGING-1.3-JOXCORE"

// The plugin's record: the callbacks it replaced.
struct logging_joxcore_data
{
    int (*fsend)(struct soap*, const char*, size_t);
    size_t (*frecv)(struct soap*, char*, size_t);
};

// Registration function for soap_register_plugin.
int logging_joxcore_register(struct soap* pSoap, struct soap_plugin* pPlugin, void* pArg);

// The send and receive callbacks that the plugin installs.
int logging_send(struct soap* pSoap, const char* pData, size_t length);
size_t logging_recv(struct soap* pSoap, char* pBuffer, size_t length);

// Logs the bytes in pieces, as both callbacks do; exposed for tests.
void logging_joxcore_log_pieces(const char* pCategory, const char* pData, size_t length);
