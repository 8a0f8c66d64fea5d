# Registers one QtTest executable with CTest. Every test runs headless on the
# offscreen platform with a fixed locale so that dates, numbers and sorting do
# not depend on the machine that runs the suite.
#
#   orvalis_add_test(tst_Name SOURCES a.cpp ... LIBS orvalis_bank ...
#                    [FUNCTIONS only these test functions])
function(orvalis_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;FUNCTIONS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name} ${ARG_FUNCTIONS})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;TZ=UTC;QT_LOGGING_RULES=qt.qpa.*=false"
    TIMEOUT 120)
endfunction()

# Runs test functions of an already registered test executable again on a
# configured offscreen screen, named after the screen:
#
#   orvalis_add_screen_test(tst_Name SCREEN laptop-1366x768 EXPECT 1366x768@1
#                           FUNCTIONS fitsTheScreen ...)
function(orvalis_add_screen_test name)
  cmake_parse_arguments(ARG "" "SCREEN;EXPECT" "FUNCTIONS" ${ARGN})
  set(config "${PROJECT_SOURCE_DIR}/tests/screens/${ARG_SCREEN}.json")
  add_test(NAME ${name}_${ARG_SCREEN} COMMAND ${name} ${ARG_FUNCTIONS})
  set_tests_properties(${name}_${ARG_SCREEN} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${config};ORVALIS_SCREEN=${ARG_EXPECT};LANG=C.UTF-8;LC_ALL=C.UTF-8;TZ=UTC;QT_LOGGING_RULES=qt.qpa.*=false"
    TIMEOUT 120)
endfunction()

# The two screens every working window is laid out on besides the default one.
function(orvalis_add_screen_tests name)
  orvalis_add_screen_test(${name} SCREEN laptop-1366x768 EXPECT 1366x768@1 ${ARGN})
  orvalis_add_screen_test(${name} SCREEN fullhd-200 EXPECT 1920x1080@2 ${ARGN})
endfunction()
