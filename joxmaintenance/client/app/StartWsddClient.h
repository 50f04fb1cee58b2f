#pragma once

#include <joxwsdd/WSDDClient.h>

#include <vector>

namespace joxmaintenance {

// One discovery thread parameter per usable local interface: its address,
// unicast port 0 (any) and multicast port 3702.
std::vector<JoxWsdd::WSDDClient::ClientThreadParameter> DiscoveryThreadParameters();

// A new discovery client whose threads run, with the program's repository
// attached as observer; null (after logging why) when a thread did not start.
// The caller owns the client.
JoxWsdd::WSDDClient* startWSDDClient();

} // namespace joxmaintenance
