# qp_subsystem(NAME DEPENDS dep...): a static library from the *.cpp files of the current source folder.
function(qp_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  else()
    # A subsystem that has no code yet still takes part in the link graph.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

# qp_test_suite(NAME [RUNS_BINARIES] DEPENDS lib...): one GoogleTest binary from the *.cpp files of the current
# test folder. RUNS_BINARIES: its tests run quillpress or kovadump, which are then built first.
function(qp_test_suite name)
  cmake_parse_arguments(ARG "RUNS_BINARIES" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} qp_test_support GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    QP_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    QP_EXAMPLES_DIR="${PROJECT_SOURCE_DIR}/examples"
    QP_QUILLPRESS_BIN="$<TARGET_FILE:quillpress>"
    QP_KOVADUMP_BIN="$<TARGET_FILE:kovadump>")
  if(ARG_RUNS_BINARIES)
    add_dependencies(${name} quillpress kovadump)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 300)
endfunction()
