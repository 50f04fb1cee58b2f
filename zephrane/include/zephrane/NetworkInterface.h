#pragma once

#include <zephrane/IpAddress.h>

#include <cstdint>
#include <string>

namespace zephrane {

// One IPv4 address of a local adapter, with its mask and broadcast address.
struct NetworkInterface
{
    std::string mName;
    IpAddress mAddress;
    IpAddress mNetmask;
    IpAddress mBroadcast;
    unsigned char mStatus = 0;           // 1 for every record read from the system
    unsigned char mHardwareAddress[6] = {0, 0, 0, 0, 0, 0};
    std::uint64_t mReserved = 0;
};

} // namespace zephrane
