#pragma once

#include <joxwsdd/WebServiceInfo.h>

#include <string>

namespace clientviewtest {

// A discovered service at the URL with the blank-separated "key__value"
// Types items; the endpoint is made from the URL and the service name so
// that one server offers one entry per service type.
JoxWsdd::WebServiceInfoPtr Service(const std::string& rUrl, const std::string& rTypes);

} // namespace clientviewtest
