# tandril_wsdd_bindings(<output folder> <variable>): generates gSOAP's
# WS-Discovery 1.1 bindings into the folder at build time and sets the
# variable to the generated files. The Types element is bound as plain text
# instead of a QName list: gSOAP would otherwise rewrite every item's prefix
# on input (an unprefixed "service_name__MOS" arrives as "\"\":service_name__MOS"
# and undeclared prefixes are doubled), which destroys the metadata items.
pkg_get_variable(GSOAP_PREFIX gsoap++ prefix)
find_path(TANDRIL_GSOAP_IMPORT_DIR wsdd.h
  HINTS ${GSOAP_PREFIX}/share/gsoap/import /usr/share/gsoap/import REQUIRED)
get_filename_component(TANDRIL_GSOAP_SHARE_DIR ${TANDRIL_GSOAP_IMPORT_DIR} DIRECTORY)
set(TANDRIL_GSOAP_PLUGIN_DIR ${TANDRIL_GSOAP_SHARE_DIR}/plugin CACHE PATH "gSOAP plugin sources")
find_program(TANDRIL_SOAPCPP2 soapcpp2 REQUIRED)

function(tandril_wsdd_bindings folder variable)
  set(header ${folder}/wsdd-plain-types.h)
  file(READ ${TANDRIL_GSOAP_IMPORT_DIR}/wsdd.h text)
  string(REPLACE "typedef _QName wsdd__QNameListType;" "typedef char *wsdd__QNameListType;" plain "${text}")
  if(plain STREQUAL text)
    message(FATAL_ERROR "gSOAP's wsdd.h no longer declares the Types list as expected")
  endif()
  file(MAKE_DIRECTORY ${folder})
  file(CONFIGURE OUTPUT ${header} CONTENT "${plain}" @ONLY)
  set(outputs ${folder}/wsddC.cpp ${folder}/wsddClient.cpp ${folder}/wsddH.h ${folder}/wsddStub.h
              ${folder}/wsdd.nsmap)
  add_custom_command(OUTPUT ${outputs}
    COMMAND ${TANDRIL_SOAPCPP2} -C -L -x -pwsdd -d ${folder} -I${TANDRIL_GSOAP_IMPORT_DIR} ${header}
    DEPENDS ${header}
    COMMENT "Generating WS-Discovery bindings in ${folder}"
    VERBATIM)
  set(${variable} ${outputs} PARENT_SCOPE)
endfunction()
