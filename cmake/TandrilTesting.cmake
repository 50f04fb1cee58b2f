# tandril_add_test(NAME name [GUI] SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s])
# builds one GoogleTest executable and registers its cases with CTest. The
# test entry point gives every process a private PROGRAMDATA folder and the
# offscreen Qt platform; GUI
# runs the cases under a QApplication instead of a QCoreApplication.
function(tandril_add_test)
  cmake_parse_arguments(T "GUI" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  tandril_strict_warnings(${T_NAME})
  set(support tandril_testsupport)
  if(T_GUI)
    set(support tandril_testsupport_gui)
  endif()
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${support} GTest::gtest GTest::gmock)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(properties TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  gtest_discover_tests(${T_NAME}
    TEST_PREFIX "${T_NAME}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties})
endfunction()
