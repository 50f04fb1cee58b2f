#include <zephrane/LocalInterfaces.h>

#include "LocalInterfacesRules.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <string>

namespace zephrane {

IpAddress::IpAddress()
    : mIpv4(1)
{
}

IpAddress::IpAddress(const std::string& rText)
    : mIpv4(rText.find(':') == std::string::npos ? 1 : 0), mText(rText)
{
}

bool IpAddress::operator==(const IpAddress& rOther) const
{
    return mIpv4 == rOther.mIpv4 && mText == rOther.mText;
}

namespace {

const char* const cLoopbackAddress = "127.0.0.1";

std::string DottedText(in_addr_t value)
{
    in_addr address;
    address.s_addr = value;
    char text[INET_ADDRSTRLEN] = {0};
    inet_ntop(AF_INET, &address, text, sizeof(text));
    return text;
}

NetworkInterface LoopbackRecord()
{
    NetworkInterface record;
    record.mName = "local";
    record.mAddress = IpAddress(cLoopbackAddress);
    record.mNetmask = IpAddress("255.0.0.0");
    record.mBroadcast = IpAddress("127.255.255.255");
    record.mStatus = 1;
    return record;
}

} // namespace

std::vector<NetworkInterface> InterfacesFromAdapterTable(bool bTableRead,
    const std::vector<platform::AdapterAddress>& rTable)
{
    std::vector<NetworkInterface> result;
    if (!bTableRead)
        return result;

    unsigned int number = 0;
    for (const platform::AdapterAddress& rEntry : rTable)
    {
        const in_addr_t address = inet_addr(rEntry.mAddress.c_str());
        // inet_addr gives 0 for "0.0.0.0"; an unparsable text gives INADDR_NONE
        // and is taken as it comes, as the adapter table never holds one.
        if (address == 0)
            continue;
        const in_addr_t mask = inet_addr(rEntry.mNetmask.c_str());
        NetworkInterface record;
        record.mName = "eth" + std::to_string(number);
        record.mAddress = IpAddress(rEntry.mAddress);
        record.mNetmask = IpAddress(rEntry.mNetmask);
        record.mBroadcast = IpAddress(DottedText(address | ~mask));
        record.mStatus = 1;
        std::copy(rEntry.mHardwareAddress, rEntry.mHardwareAddress + 6, record.mHardwareAddress);
        result.push_back(record);
        ++number;
    }

    const IpAddress loopback(cLoopbackAddress);
    const bool bHasLoopback = std::any_of(result.begin(), result.end(),
        [&loopback](const NetworkInterface& rRecord) { return rRecord.mAddress == loopback; });
    if (!bHasLoopback)
        result.push_back(LoopbackRecord());
    return result;
}

std::vector<NetworkInterface> UsableFromInterfaces(const std::vector<NetworkInterface>& rList)
{
    std::vector<NetworkInterface> result;
    bool bHasLoopback = false;
    NetworkInterface loopback;
    for (const NetworkInterface& rRecord : rList)
    {
        if (rRecord.mAddress.ToString() == cLoopbackAddress)
        {
            loopback = rRecord;
            bHasLoopback = true;
        }
        else
        {
            result.push_back(rRecord);
        }
    }
    if (result.empty())
    {
        if (bHasLoopback)
        {
            result.push_back(loopback);
        }
        else
        {
            NetworkInterface placeholder;
            placeholder.mName = "empty";
            result.push_back(placeholder);
        }
    }
    return result;
}

std::vector<NetworkInterface> ListNetworkInterfaces()
{
    std::vector<platform::AdapterAddress> table;
    const bool bRead = platform::ReadAdapterTable(table);
    return InterfacesFromAdapterTable(bRead, table);
}

std::vector<NetworkInterface> UsableNetworkInterfaces()
{
    return UsableFromInterfaces(ListNetworkInterfaces());
}

} // namespace zephrane
