# tolvane_add_tests(<folder> SOURCES <files...> LIBRARIES <targets...> [DEFINITIONS <defs...>])
#
# One GoogleTest executable per folder of the code, tolvane_<folder>_tests, whose tests CTest
# knows as "<folder>.<Suite>.<Test>".
function(tolvane_add_tests folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;DEFINITIONS" ${ARGN})
  set(target tolvane_${folder}_tests)
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main)
  if(ARG_DEFINITIONS)
    target_compile_definitions(${target} PRIVATE ${ARG_DEFINITIONS})
  endif()
  gtest_discover_tests(${target} TEST_PREFIX "${folder}." DISCOVERY_TIMEOUT 60)
endfunction()
