# SPDX-License-Identifier: GPL-3.0-or-later
# The standard headers that most of the code includes. Under clang each library parses them once, into a
# precompiled header, instead of once per file. GCC builds without: it reports its late warnings inside a
# precompiled header's standard headers as if they were ours, and a build without one still checks that every
# file includes what it uses.
set(QP_STANDARD_HEADERS <algorithm> <array> <cstddef> <cstdint> <filesystem> <map> <memory> <optional> <set> <span>
  <string> <string_view> <unordered_map> <vector>)

# qp_precompile_headers(TARGET header...): precompiles the headers for TARGET under clang.
function(qp_precompile_headers target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# qp_subsystem(NAME DEPENDS dep...): a static library from the *.cpp files of the current source folder.
function(qp_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    qp_precompile_headers(${name} ${QP_STANDARD_HEADERS})
  else()
    # A subsystem that has no code yet still takes part in the link graph.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

# qp_test_suite(NAME [RUNS_BINARIES] [PLAIN] DEPENDS lib...): one GoogleTest binary from the *.cpp files of the
# current test folder. RUNS_BINARIES: its tests run quillpress or kovadump, which are then built first.
# PLAIN: it holds tests that the sanitizer build cannot run, so `make check` runs it in the plain build too
# (label plain, built by the target plain_tests with the two programs).
function(qp_test_suite name)
  cmake_parse_arguments(ARG "RUNS_BINARIES;PLAIN" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} qp_test_support GTest::gtest_main)
  get_target_property(precompiled qp_test_support PRECOMPILE_HEADERS)
  if(precompiled)
    target_precompile_headers(${name} REUSE_FROM qp_test_support)
  endif()
  if(ARG_RUNS_BINARIES)
    add_dependencies(${name} quillpress kovadump)
  endif()
  if(QUILLPRESS_SANITIZE)
    # A sanitized process takes longer to start and end than most tests take to run, so there each binary runs
    # as a few processes that share its tests out (GoogleTest's sharding) instead of one process per test.
    # The suites with the most files start first, so that none of their shards is left to run alone at the end.
    list(LENGTH sources cost)
    set(shards 4)
    math(EXPR last "${shards} - 1")
    foreach(index RANGE ${last})
      add_test(NAME ${name}.shard${index} COMMAND ${name})
      set_tests_properties(${name}.shard${index} PROPERTIES TIMEOUT 1200 COST ${cost}
        ENVIRONMENT "GTEST_TOTAL_SHARDS=${shards};GTEST_SHARD_INDEX=${index}")
    endforeach()
  elseif(ARG_PLAIN)
    add_dependencies(plain_tests ${name})
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 300 LABELS plain)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 300)
  endif()
endfunction()
