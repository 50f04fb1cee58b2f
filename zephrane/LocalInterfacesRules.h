#pragma once

// The naming, skipping and loopback rules of the interface list, apart from
// the system query so that they can be checked on any table.

#include "platform/AdapterTable.h"

#include <zephrane/NetworkInterface.h>

#include <vector>

namespace zephrane {

std::vector<NetworkInterface> InterfacesFromAdapterTable(bool bTableRead,
    const std::vector<platform::AdapterAddress>& rTable);

std::vector<NetworkInterface> UsableFromInterfaces(const std::vector<NetworkInterface>& rList);

} // namespace zephrane
