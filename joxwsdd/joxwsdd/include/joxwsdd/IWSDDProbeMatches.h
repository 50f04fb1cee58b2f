#pragma once

#include <joxwsdd/PelwickExport.h>

#include <cstddef>

namespace JoxWsdd {

// Read-only view of a received ProbeMatches message; its pointers point into
// the message and are valid only during IWSDDClientObserver::OnProbeMatch.
class PELWICK_EXPORT IWSDDProbeMatches
{
public:
    struct ProbeMatch
    {
        const char* endpoint = nullptr;   // EndpointReference Address
        const char* types = nullptr;      // Types as received, not split
        const char* scopes = nullptr;     // null without Scopes
        const char* matchBy = nullptr;    // null without Scopes or attribute
        const char* xAddrs = nullptr;     // possibly null
        unsigned int metadataVersion = 0;
    };

    virtual ~IWSDDProbeMatches();

    virtual size_t GetMatchCount() const = 0;
    // False (rOut untouched) when index >= GetMatchCount().
    virtual bool GetMatch(size_t index, ProbeMatch& rOut) const = 0;
};

} // namespace JoxWsdd
