# Rewrites the generated serializers so that each member of a schema record is
# read through TANDRIL_READ_CHILD (ChildElementForms.h): unqualified or
# qualified with the schema or service namespace. Writing is left unchanged.
# Usage: cmake -DSOURCE=<joxmaintenanceC.cpp> -P ReadChildrenInEitherForm.cmake
file(READ "${SOURCE}" code)
set(member_read "soap_in_([A-Za-z0-9_]+)\\(soap, \"([A-Za-z][A-Za-z0-9_]*)\", &a->jox__")
string(REGEX MATCHALL "${member_read}" found "${code}")
list(LENGTH found count)
if(count EQUAL 0)
  message(FATAL_ERROR "${SOURCE}: no member reader found to rewrite; the generated code changed shape")
endif()
string(REGEX REPLACE "${member_read}" "TANDRIL_READ_CHILD(soap_in_\\1, soap, \"\\2\", &a->jox__" code "${code}")
file(WRITE "${SOURCE}" "#include \"ChildElementForms.h\"\n${code}")
