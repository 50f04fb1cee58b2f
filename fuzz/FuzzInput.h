#pragma once

// The current fuzzer input as a gSOAP context's transport: its receive hook
// reads the input, its send hook drops everything.

#include <stdsoap2.h>

#include <cstddef>
#include <cstdint>

namespace fuzzinput {

// Makes the size bytes at pData what ReadInput hands out next.
void SetInput(const std::uint8_t* pData, size_t size);

// frecv hook: the next bytes of the input, 0 once it is used up.
size_t ReadInput(struct soap*, char* pBuffer, size_t length);

// fsend hook: drops the bytes.
int DropOutput(struct soap*, const char*, size_t);

} // namespace fuzzinput
