// The namespace table of the WS-Discovery bindings: the process's one global
// gSOAP table, which libgsoap++ looks up by name.
#include "wsddH.h"

#include "wsdd.nsmap"
