#pragma once

#include <zephrane/NetworkInterface.h>

#include <vector>

namespace zephrane {

// Every IPv4 address of every adapter in the system's order, named eth0,
// eth1, ... per address, then the loopback record "local" unless 127.0.0.1 is
// already listed. Empty when the adapter table cannot be read.
std::vector<NetworkInterface> ListNetworkInterfaces();

// The addresses to listen on: every listed address but 127.0.0.1; the
// loopback record only when nothing else is left, and a placeholder named
// "empty" with empty addresses when the list itself was empty.
std::vector<NetworkInterface> UsableNetworkInterfaces();

} // namespace zephrane
