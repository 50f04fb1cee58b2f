#include "FuzzInput.h"

#include <cstring>

namespace fuzzinput {

namespace {

const std::uint8_t* gpInput = nullptr;
size_t gInputLeft = 0;

} // namespace

void SetInput(const std::uint8_t* pData, size_t size)
{
    gpInput = pData;
    gInputLeft = size;
}

size_t ReadInput(struct soap*, char* pBuffer, size_t length)
{
    const size_t count = length < gInputLeft ? length : gInputLeft;
    std::memcpy(pBuffer, gpInput, count);
    gpInput += count;
    gInputLeft -= count;
    return count;
}

int DropOutput(struct soap*, const char*, size_t)
{
    return SOAP_OK;
}

} // namespace fuzzinput
