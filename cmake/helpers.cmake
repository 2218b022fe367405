# project_library(NAME [EXCLUDE file...] [SOURCES file...] [LIBS lib...]):
# the static library NAME of the calling folder's *.cpp files but EXCLUDE,
# with SOURCES added, its headers included from the top folder
# ("utility/futil.h") and LIBS linked PUBLIC. Then the folder's tests/,
# fuzz/ and bench/ (those with a CMakeLists.txt) are added when
# BUILD_TESTING, BUILD_FUZZ or BUILD_BENCH is on; they may name targets the
# folder defines after its library (its program), not call its functions.
function(project_library name)
  cmake_parse_arguments(L "" "" "EXCLUDE;SOURCES;LIBS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(_file IN LISTS L_EXCLUDE)
    list(REMOVE_ITEM _srcs ${CMAKE_CURRENT_SOURCE_DIR}/${_file})
  endforeach()
  add_library(${name} STATIC ${_srcs} ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(L_LIBS)
    target_link_libraries(${name} PUBLIC ${L_LIBS})
  endif()
  foreach(_pair tests:BUILD_TESTING fuzz:BUILD_FUZZ bench:BUILD_BENCH)
    string(REPLACE ":" ";" _pair ${_pair})
    list(GET _pair 0 _dir)
    list(GET _pair 1 _option)
    if(${_option} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_dir}/CMakeLists.txt)
      add_subdirectory(${_dir})
    endif()
  endforeach()
endfunction()

# project_test_paths(TARGET): where a test finds its data (the calling
# folder's data/), the tool binaries and the source tree.
function(project_test_paths target)
  target_compile_definitions(${target} PRIVATE
    TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
    TEST_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
    TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()

# project_tests(NAME LIBS...): one GoogleTest executable from the *_test.cpp
# files of the calling tests/ folder. Tests find their data and the tool
# binaries through project_test_paths.
function(project_tests name)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT _srcs)
    return()
  endif()
  add_executable(${name} ${_srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} test_support GTest::gtest GTest::gtest_main
                        Threads::Threads)
  project_test_paths(${name})
  # Listing happens when ctest runs (under the test display), not at build time.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# project_gltests(NAME MAIN source PATHS path... LIBS lib...): the tests that
# draw, every *_gltest.cpp of the calling folder in one program whose MAIN
# makes a hidden GLFW window, with TEST_DATA_DIR; it runs once per GL path,
# each test named PATH.Suite.Test and given --gl-path=PATH.
function(project_gltests name)
  cmake_parse_arguments(G "" "MAIN" "PATHS;LIBS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_gltest.cpp)
  if(NOT _srcs)
    return()
  endif()
  add_executable(${name} ${_srcs} ${G_MAIN})
  target_link_libraries(${name} PRIVATE ${G_LIBS} GTest::gtest Threads::Threads)
  target_compile_definitions(${name} PRIVATE TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  foreach(_path IN LISTS G_PATHS)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60 TEST_PREFIX "${_path}."
      EXTRA_ARGS --gl-path=${_path}
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endforeach()
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
