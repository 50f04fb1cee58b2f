#pragma once

#include <chrono>

namespace joxmaintenance {

// A context's time limit as a duration: seconds when positive, microseconds
// when negative (0, no limit, gives zero).
inline std::chrono::microseconds FromSoapTimeout(int timeout)
{
    if (timeout >= 0)
        return std::chrono::seconds(timeout);
    return std::chrono::microseconds(-static_cast<long long>(timeout));
}

} // namespace joxmaintenance
