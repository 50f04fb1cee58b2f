#include "WSDDProbeMatches.h"

#include "wsddH.h"

namespace JoxWsdd {

WSDDProbeMatches::WSDDProbeMatches(const wsdd__ProbeMatchesType* pMatches)
    : mpMatches(pMatches)
{
}

size_t WSDDProbeMatches::GetMatchCount() const
{
    if (mpMatches == nullptr || mpMatches->ProbeMatch == nullptr || mpMatches->__sizeProbeMatch <= 0)
        return 0;
    return static_cast<size_t>(mpMatches->__sizeProbeMatch);
}

bool WSDDProbeMatches::GetMatch(size_t index, ProbeMatch& rOut) const
{
    if (index >= GetMatchCount())
        return false;
    const wsdd__ProbeMatchType& rMatch = mpMatches->ProbeMatch[index];
    rOut.endpoint = rMatch.wsa5__EndpointReference.Address;
    rOut.types = rMatch.Types;
    rOut.scopes = rMatch.Scopes != nullptr ? rMatch.Scopes->__item : nullptr;
    rOut.matchBy = rMatch.Scopes != nullptr ? rMatch.Scopes->MatchBy : nullptr;
    rOut.xAddrs = rMatch.XAddrs;
    rOut.metadataVersion = rMatch.MetadataVersion;
    return true;
}

} // namespace JoxWsdd
