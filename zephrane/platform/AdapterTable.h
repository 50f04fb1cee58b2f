#pragma once

// Linux stand-in for the IP helper's adapter table: the IPv4 addresses of the
// system's interfaces, in the kernel's order, with their masks.

#include <string>
#include <vector>

namespace zephrane {
namespace platform {

struct AdapterAddress
{
    std::string mAddress;                 // dotted text
    std::string mNetmask;                 // dotted text
    unsigned char mHardwareAddress[6] = {0, 0, 0, 0, 0, 0};
};

// Reads the table; false when the system cannot be asked.
bool ReadAdapterTable(std::vector<AdapterAddress>& rTable);

} // namespace platform
} // namespace zephrane
