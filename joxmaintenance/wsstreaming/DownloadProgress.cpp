#include "joxwsstreaming/DownloadProgress.h"

#include <limits>

namespace joxwsstreaming {

void DownloadProgress::AddReceived(std::uint64_t bytes)
{
    mReceived.fetch_add(bytes, std::memory_order_relaxed);
}

void DownloadProgress::SetTotal(std::uint64_t bytes)
{
    const auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    mTotal.store(static_cast<std::int64_t>(bytes < largest ? bytes : largest), std::memory_order_relaxed);
}

std::uint64_t DownloadProgress::GetReceived() const
{
    return mReceived.load(std::memory_order_relaxed);
}

std::int64_t DownloadProgress::GetTotal() const
{
    return mTotal.load(std::memory_order_relaxed);
}

} // namespace joxwsstreaming
