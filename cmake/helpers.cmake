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

# project_forbid_links(TARGET PATTERNS regex... [HEADERS glob... INCLUDES regex...]):
# configuring fails when anything TARGET links, directly or through the
# libraries and imported targets it links, matches one of the PATTERNS, or
# when a file of HEADERS includes a header matching INCLUDES. Keeps the
# arrows downward: a lower library never comes to need a window system.
function(project_forbid_links target)
  cmake_parse_arguments(F "" "" "PATTERNS;HEADERS;INCLUDES" ${ARGN})
  set(_seen)
  set(_todo ${target})
  while(_todo)
    list(POP_FRONT _todo _item)
    # A link-only wrapper names the library inside it.
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" _item "${_item}")
    if(_item STREQUAL "" OR _item IN_LIST _seen)
      continue()
    endif()
    list(APPEND _seen "${_item}")
    foreach(_pattern IN LISTS F_PATTERNS)
      if(_item MATCHES "${_pattern}")
        message(FATAL_ERROR "${target} must not link ${_item} (matches \"${_pattern}\")")
      endif()
    endforeach()
    if(TARGET ${_item})
      get_target_property(_type ${_item} TYPE)
      set(_links)
      if(NOT _type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(_direct ${_item} LINK_LIBRARIES)
        if(_direct)
          list(APPEND _links ${_direct})
        endif()
      endif()
      get_target_property(_interface ${_item} INTERFACE_LINK_LIBRARIES)
      if(_interface)
        list(APPEND _links ${_interface})
      endif()
      list(APPEND _todo ${_links})
    endif()
  endwhile()
  if(F_HEADERS)
    file(GLOB _files ${F_HEADERS})
    foreach(_file IN LISTS _files)
      file(STRINGS ${_file} _lines REGEX "^[ \t]*#[ \t]*include")
      foreach(_line IN LISTS _lines)
        foreach(_pattern IN LISTS F_INCLUDES)
          if(_line MATCHES "${_pattern}")
            message(FATAL_ERROR "${_file} must not include this header: ${_line}")
          endif()
        endforeach()
      endforeach()
    endforeach()
  endif()
endfunction()

# project_keep_loaded(): links keep_loaded, and the export of its dlclose,
# into every program defined so far (call it after the last subdirectory).
function(project_keep_loaded)
  set(_dirs ${PROJECT_SOURCE_DIR})
  while(_dirs)
    list(POP_FRONT _dirs _dir)
    get_property(_subdirs DIRECTORY ${_dir} PROPERTY SUBDIRECTORIES)
    list(APPEND _dirs ${_subdirs})
    get_property(_targets DIRECTORY ${_dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(_target IN LISTS _targets)
      get_target_property(_type ${_target} TYPE)
      if(_type STREQUAL "EXECUTABLE")
        target_link_libraries(${_target} PRIVATE keep_loaded)
        target_link_options(${_target} PRIVATE -Wl,--export-dynamic-symbol=dlclose)
      endif()
    endforeach()
  endwhile()
endfunction()
