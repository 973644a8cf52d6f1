# qx_add_program(NAME SOURCES...): a program of the installation folder.
function(qx_add_program name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QX_APP_DIR})
endfunction()

# qx_add_plugin(NAME SOURCES...): a shared library loaded by name from appFolder
# (no "lib" prefix, so the file is exactly NAME.so).
function(qx_add_plugin name)
  add_library(${name} MODULE ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${QX_APP_DIR})
endfunction()

# qx_add_test(NAME SOURCES... [LIBS libs...] [LABELS labels...]): a GoogleTest
# program registered with CTest, linked with the shared helpers of tests/common.
# Tests that take seconds carry LABELS slow, which the quick loop leaves out.
function(qx_add_test name)
  cmake_parse_arguments(T "" "" "LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE qxtestcommon qxcore GTest::gtest GTest::gtest_main
                                        GTest::gmock ${T_LIBS})
  target_compile_definitions(${name} PRIVATE QX_APP_DIR="${QX_APP_DIR}"
                                             QX_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                             QX_TEST_BIN_DIR="${CMAKE_BINARY_DIR}/tests")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 PROPERTIES LABELS "${T_LABELS}")
endfunction()
include(GoogleTest)
