// The global namespace table that the gSOAP runtime library expects from the
// one global unit of the process.
#include "soap.nsmap"
