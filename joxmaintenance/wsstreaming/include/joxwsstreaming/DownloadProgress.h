#pragma once

#include <atomic>
#include <cstdint>

namespace joxwsstreaming {

// How far the download of a collection has come: the download thread counts,
// any thread reads.
class DownloadProgress
{
public:
    // Counts bytes of the collection received.
    void AddReceived(std::uint64_t bytes);
    // The collection's size, when the reply tells it before its data.
    void SetTotal(std::uint64_t bytes);
    std::uint64_t GetReceived() const;
    // The collection's size; -1 while it is unknown.
    std::int64_t GetTotal() const;

private:
    std::atomic<std::uint64_t> mReceived{0};
    std::atomic<std::int64_t> mTotal{-1};
};

} // namespace joxwsstreaming
