#include <joxwsdd/IWSDDClientObserver.h>
#include <joxwsdd/IWSDDProbeMatches.h>

namespace JoxWsdd {

IWSDDClientObserver::~IWSDDClientObserver() = default;
IWSDDProbeMatches::~IWSDDProbeMatches() = default;

} // namespace JoxWsdd
