#include "MessageId.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <random>

namespace JoxWsdd {

std::string CreateMessageId()
{
    static std::mutex generatorLock;
    static std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    {
        std::lock_guard<std::mutex> lock(generatorLock);
        high = generator();
        low = generator();
    }
    const unsigned int timeLow = static_cast<unsigned int>(high >> 32);
    const unsigned int timeMid = static_cast<unsigned int>((high >> 16) & 0xFFFF);
    const unsigned int timeHigh = static_cast<unsigned int>(high & 0x0FFF);
    const unsigned int clock = static_cast<unsigned int>(((low >> 48) & 0x3FFF) | 0x8000);
    const unsigned int nodeHigh = static_cast<unsigned int>((low >> 32) & 0xFFFF);
    const unsigned int nodeLow = static_cast<unsigned int>(low & 0xFFFFFFFF);
    char text[64];
    std::snprintf(text, sizeof(text), "urn:uuid:%8.8x-%4.4x-4%3.3x-%4.4x-%4.4x%8.8x", timeLow, timeMid,
                  timeHigh, clock, nodeHigh, nodeLow);
    return text;
}

} // namespace JoxWsdd
