#include "platform/AdapterTable.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>
#include <map>

namespace zephrane {
namespace platform {

bool ReadAdapterTable(std::vector<AdapterAddress>& rTable)
{
    rTable.clear();
    ifaddrs* pList = nullptr;
    if (getifaddrs(&pList) != 0)
        return false;

    // getifaddrs lists the AF_PACKET records first; they carry the hardware
    // addresses that the IPv4 records of the same interface are given.
    std::map<std::string, const unsigned char*> hardware;
    for (ifaddrs* pEntry = pList; pEntry != nullptr; pEntry = pEntry->ifa_next)
    {
        if (pEntry->ifa_addr == nullptr || pEntry->ifa_addr->sa_family != AF_PACKET)
            continue;
        const sockaddr_ll* pLink = reinterpret_cast<const sockaddr_ll*>(pEntry->ifa_addr);
        if (pLink->sll_halen == 6)
            hardware[pEntry->ifa_name] = pLink->sll_addr;
    }

    for (ifaddrs* pEntry = pList; pEntry != nullptr; pEntry = pEntry->ifa_next)
    {
        if (pEntry->ifa_addr == nullptr || pEntry->ifa_addr->sa_family != AF_INET)
            continue;
        // The adapter table holds no loopback adapter; the list adds its own
        // loopback record.
        if ((pEntry->ifa_flags & IFF_LOOPBACK) != 0)
            continue;
        AdapterAddress entry;
        char text[INET_ADDRSTRLEN] = {0};
        const sockaddr_in* pAddress = reinterpret_cast<const sockaddr_in*>(pEntry->ifa_addr);
        if (inet_ntop(AF_INET, &pAddress->sin_addr, text, sizeof(text)) == nullptr)
            continue;
        entry.mAddress = text;
        entry.mNetmask = "0.0.0.0";
        if (pEntry->ifa_netmask != nullptr)
        {
            const sockaddr_in* pMask = reinterpret_cast<const sockaddr_in*>(pEntry->ifa_netmask);
            if (inet_ntop(AF_INET, &pMask->sin_addr, text, sizeof(text)) != nullptr)
                entry.mNetmask = text;
        }
        const auto found = hardware.find(pEntry->ifa_name);
        if (found != hardware.end())
            std::memcpy(entry.mHardwareAddress, found->second, 6);
        rTable.push_back(entry);
    }
    freeifaddrs(pList);
    return true;
}

} // namespace platform
} // namespace zephrane
