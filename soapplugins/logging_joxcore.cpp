#include "logging_joxcore.h"

#include <joxlog/JoxLog.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

const size_t cPieceLength = 3499;
const int cLogLevel = 5;

bool IsBlank(unsigned char byte)
{
    return byte < 128 && std::isspace(byte) != 0;
}

bool StartsWithGet(const char* pText, size_t length)
{
    return pText != nullptr && length >= 3 && std::strncmp(pText, "GET", 3) == 0;
}

logging_joxcore_data* FindData(struct soap* pSoap)
{
    return static_cast<logging_joxcore_data*>(soap_lookup_plugin(pSoap, LOGGING_JOXCORE_ID));
}

void DeletePlugin(struct soap* pSoap, struct soap_plugin* pPlugin)
{
    (void)pSoap;
    std::free(pPlugin->data);
    pPlugin->data = nullptr;
}

} // namespace

void logging_joxcore_log_pieces(const char* pCategory, const char* pData, size_t length)
{
    const unsigned char* pBytes = reinterpret_cast<const unsigned char*>(pData);
    size_t position = 0;
    char piece[cPieceLength + 1];
    while (length - position >= 2)
    {
        while (position < length && IsBlank(pBytes[position]))
            ++position;
        size_t used = 0;
        bool bInBlank = false;
        while (position < length && used < cPieceLength)
        {
            const unsigned char byte = pBytes[position++];
            if (IsBlank(byte))
            {
                if (!bInBlank)
                    piece[used++] = ' ';
                bInBlank = true;
            }
            else
            {
                piece[used++] = static_cast<char>(byte);
                bInBlank = false;
            }
        }
        piece[used] = '\0';
        if (used > 0)
            JoxCore::Log(cLogLevel, 0, pCategory, piece, __FILE__, __LINE__, __func__);
    }
}

int logging_joxcore_register(struct soap* pSoap, struct soap_plugin* pPlugin, void* pArg)
{
    (void)pArg;
    pPlugin->id = LOGGING_JOXCORE_ID;
    pPlugin->data = std::malloc(sizeof(logging_joxcore_data));
    pPlugin->fcopy = nullptr;
    pPlugin->fdelete = DeletePlugin;
    if (pPlugin->data != nullptr)
    {
        logging_joxcore_data* pData = static_cast<logging_joxcore_data*>(pPlugin->data);
        pData->fsend = pSoap->fsend;
        pData->frecv = pSoap->frecv;
        pSoap->fsend = logging_send;
        pSoap->frecv = logging_recv;
    }
    return SOAP_OK;
}

size_t logging_recv(struct soap* pSoap, char* pBuffer, size_t length)
{
    logging_joxcore_data* pData = FindData(pSoap);
    if (pData == nullptr || pData->frecv == nullptr)
        return 0;
    const size_t received = pData->frecv(pSoap, pBuffer, length);
    if (received == 0 || StartsWithGet(pBuffer, received))
        return received;
    logging_joxcore_log_pieces("gSOAP-recv", pBuffer, received);
    return received;
}

int logging_send(struct soap* pSoap, const char* pData, size_t length)
{
    logging_joxcore_data* pRecord = FindData(pSoap);
    if (pRecord == nullptr || pRecord->fsend == nullptr)
        return SOAP_PLUGIN_ERROR;
    if (!StartsWithGet(pSoap->msgbuf, sizeof(pSoap->msgbuf)))
    {
        if (length == 0)
            JoxCore::Log(cLogLevel, 0, "gSOAP-send", "Empty response", __FILE__, __LINE__, __func__);
        else
            logging_joxcore_log_pieces("gSOAP-send", pData, length);
    }
    return pRecord->fsend(pSoap, pData, length);
}
