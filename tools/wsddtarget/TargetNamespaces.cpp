// The namespace table of the test target's WS-Discovery bindings.
#include "wsddH.h"

#include "wsdd.nsmap"
