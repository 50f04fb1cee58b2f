#pragma once

// Included at the top of the generated serializers. The schema's child
// elements are unqualified, but servers built from the service description
// with other toolkits often qualify them with the schema namespace (or the
// service namespace). A reader of a record member tries the unqualified name
// first and then the name in either namespace, so both forms fill the same
// member; a child in any other namespace is still skipped as unknown.
#define TANDRIL_READ_CHILD(reader, soap, name, ...)                                                                \
    (reader(soap, name, __VA_ARGS__) ||                                                                            \
     ((soap)->error == SOAP_TAG_MISMATCH &&                                                                        \
      (reader(soap, "jox:" name, __VA_ARGS__) ||                                                                   \
       ((soap)->error == SOAP_TAG_MISMATCH && reader(soap, "ns1:" name, __VA_ARGS__)))))
