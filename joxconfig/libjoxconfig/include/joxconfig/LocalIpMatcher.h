#pragma once

#include <zephrane/NetworkInterface.h>

#include <list>
#include <string>
#include <vector>

namespace JoxConfig {

// Picks the URLs whose IPv4 host lies in the subnet of one of the machine's
// listening interfaces (taken once, at construction).
class LocalIpMatcher
{
public:
    LocalIpMatcher();

    // The matching URLs, unchanged and in input order; a URL matching several
    // interfaces stands once. Malformed hosts and interface addresses are
    // logged and skipped.
    virtual std::list<std::string> DetermineMatchingUrls(const std::list<std::string>& rUrls) const;

private:
    std::vector<zephrane::NetworkInterface> mInterfaces;
};

} // namespace JoxConfig
