#pragma once

#include "joxmaintenanceServiceProxy.h"

#include <joxmaintenance/SchemaNamespace.h>

#include <sstream>
#include <string>

namespace protocoltest {

// The fault text as the runtime's fault printer renders it.
inline std::string FaultText(joxmaintenance::ServiceProxy& rProxy)
{
    std::ostringstream text;
    rProxy.soap_stream_fault(text);
    return text.str();
}

// The envelope start that the proxy writes, with its six namespace declarations.
inline std::string RequestEnvelopeStart()
{
    const std::string& rSchema = joxmaintenance::SchemaNamespace();
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<SOAP-ENV:Envelope"
           " xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\""
           " xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\""
           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
           " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
           " xmlns:ns1=\"" + rSchema + "/Service.wsdl\""
           " xmlns:jox=\"" + rSchema + "\">";
}

} // namespace protocoltest
