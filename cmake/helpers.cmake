# project_tests(NAME LIBS...): one GoogleTest executable from the *_test.cpp
# files of the calling tests/ folder. Tests find their data and the tool
# binaries through the two definitions below.
function(project_tests name)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT _srcs)
    return()
  endif()
  add_executable(${name} ${_srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} test_support GTest::gtest GTest::gtest_main
                        Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
    TEST_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
    TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  # Listing happens when ctest runs (under the test display), not at build time.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# project_fuzzer(NAME SOURCE SEEDS dir... LIBS lib...): a libFuzzer target.
# scripts/test reads build/fuzz/fuzzers.txt to run each one on its seeds.
function(project_fuzzer name source)
  cmake_parse_arguments(F "" "" "SEEDS;LIBS" ${ARGN})
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${F_LIBS} test_support)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzzers)
  set_property(GLOBAL APPEND PROPERTY PROJECT_FUZZERS ${name})
  list(JOIN F_SEEDS " " _seeds)
  set_property(GLOBAL APPEND PROPERTY PROJECT_FUZZER_LINES "${name} ${_seeds}")
endfunction()
