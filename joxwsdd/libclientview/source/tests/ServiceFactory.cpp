#include "ServiceFactory.h"

#include <joxwsdd/QNames.h>

#include <boost/make_shared.hpp>

namespace clientviewtest {

JoxWsdd::WebServiceInfoPtr Service(const std::string& rUrl, const std::string& rTypes)
{
    const std::list<std::string> types = JoxWsdd::SplitQNames(rTypes.c_str());
    const std::string endpoint = "urn:uuid:" + rUrl + "/" + JoxWsdd::JoxTypesMaster::GetServiceName(types);
    return boost::make_shared<JoxWsdd::WebServiceInfo>(endpoint.c_str(), types, rUrl.c_str());
}

} // namespace clientviewtest
