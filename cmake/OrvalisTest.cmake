# Registers one QtTest executable with CTest. Every test runs headless on the
# offscreen platform with a fixed locale so that dates, numbers and sorting do
# not depend on the machine that runs the suite.
#
#   orvalis_add_test(tst_Name SOURCES a.cpp ... LIBS orvalis_bank ...)
function(orvalis_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;TZ=UTC;QT_LOGGING_RULES=qt.qpa.*=false"
    TIMEOUT 120)
endfunction()
