#pragma once

#include <string>

namespace JoxWsdd {

// A new "urn:uuid:" version-4 identifier from the system's random source, in
// the pattern "urn:uuid:%8.8x-%4.4hx-4%3.3hx-%4.4hx-%4.4hx%8.8x" (the variant
// bits set), so that separate processes never repeat each other's ids.
std::string CreateMessageId();

} // namespace JoxWsdd
