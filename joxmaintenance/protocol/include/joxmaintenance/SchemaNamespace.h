#pragma once

#include <string>

namespace joxmaintenance {

// The schema namespace of the maintenance service, as the proxy's namespace
// table holds it (the interface header is the one place that fixes it).
const std::string& SchemaNamespace();

} // namespace joxmaintenance
