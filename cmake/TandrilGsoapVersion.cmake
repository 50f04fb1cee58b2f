# The download callbacks read gSOAP's private memory layout: AllocatedFieldBytes
# in joxmaintenance/wsstreaming/DimeCallbacks.cpp walks the bookkeeping of the
# runtime's message memory (the soap->alist chain) to learn how many bytes a
# DIME field really holds. That layout is gSOAP 2.8.124's; another release may
# lay it out otherwise, and every download would then be refused. On an
# upgrade, check the layout in the new stdsoap2.cpp, adapt AllocatedFieldBytes
# and its tests, then change the release here.
set(TANDRIL_GSOAP_LAYOUT_VERSION 2.8.124)

# Fails the configuration unless the gSOAP release found (its pkg-config
# version, and GSOAP_VERSION in the stdsoap2.h at header, when given) is the
# one above.
function(tandril_check_gsoap_version version header)
  set(reason "the download callbacks rely on the memory layout of gSOAP ${TANDRIL_GSOAP_LAYOUT_VERSION} (AllocatedFieldBytes in joxmaintenance/wsstreaming/DimeCallbacks.cpp)")
  if(NOT version VERSION_EQUAL TANDRIL_GSOAP_LAYOUT_VERSION)
    message(FATAL_ERROR "gSOAP ${version} found, but ${reason}")
  endif()
  if(header)
    string(REPLACE "." ";" parts ${TANDRIL_GSOAP_LAYOUT_VERSION})
    list(GET parts 0 major)
    list(GET parts 1 minor)
    list(GET parts 2 patch)
    math(EXPR expected "${major} * 100000 + ${minor} * 1000 + ${patch}")
    file(STRINGS ${header} defined REGEX "^#define GSOAP_VERSION [0-9]+")
    if(NOT defined STREQUAL "#define GSOAP_VERSION ${expected}")
      message(FATAL_ERROR "${header} has \"${defined}\", but ${reason}")
    endif()
  endif()
endfunction()

# As a script (cmake -DGSOAP_VERSION=... [-DGSOAP_HEADER=...] -P this file):
# the check alone.
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  tandril_check_gsoap_version("${GSOAP_VERSION}" "${GSOAP_HEADER}")
endif()
