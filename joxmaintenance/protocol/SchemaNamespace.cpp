#include "joxmaintenance/SchemaNamespace.h"

#include "joxmaintenanceServiceProxy.h"

#include <cstring>

namespace joxmaintenance {

const std::string& SchemaNamespace()
{
    static const std::string schemaNamespace = [] {
        ServiceProxy proxy;
        for (const Namespace* pEntry = proxy.soap->namespaces; pEntry && pEntry->id; ++pEntry)
        {
            if (std::strcmp(pEntry->id, "jox") == 0)
                return std::string(pEntry->ns);
        }
        return std::string();
    }();
    return schemaNamespace;
}

} // namespace joxmaintenance
