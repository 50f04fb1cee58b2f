#pragma once

#include <joxwsdd/IWSDDProbeMatches.h>

struct wsdd__ProbeMatchesType;

namespace JoxWsdd {

// The view of one received ProbeMatches body, built on the worker's stack for
// one notification.
class WSDDProbeMatches : public IWSDDProbeMatches
{
public:
    explicit WSDDProbeMatches(const wsdd__ProbeMatchesType* pMatches);

    size_t GetMatchCount() const override;
    bool GetMatch(size_t index, ProbeMatch& rOut) const override;

private:
    const wsdd__ProbeMatchesType* mpMatches;
};

} // namespace JoxWsdd
