#pragma once

#include <joxwsdd/PelwickExport.h>

#include <boost/shared_ptr.hpp>

namespace JoxWsdd {

// How the repository compares and copies its entries. The argument is always
// a WebServiceInfo.
class PELWICK_EXPORT IWebServiceSpecification
{
public:
    virtual ~IWebServiceSpecification();

    // Same server and same service type.
    virtual bool Equals(const IWebServiceSpecification& rOther) const = 0;
    // Same server, same Types list and same URLs.
    virtual bool IsIdentical(const IWebServiceSpecification& rOther) const = 0;
    virtual boost::shared_ptr<IWebServiceSpecification> Clone() const = 0;
    // Takes over the other entry's description.
    virtual void Update(const IWebServiceSpecification& rOther) = 0;
};

} // namespace JoxWsdd
