# Registers a GoogleTest program with ctest. Every program writes an XML
# report into build/test-results, from which scripts/test.sh prints one
# summary of all test cases.
set(TEST_RESULTS_DIR ${REPO_ROOT}/build/test-results)
if(WIN32)
  # Under Wine the unix root is drive Z:.
  set(TEST_RESULTS_ARG "Z:${TEST_RESULTS_DIR}")
else()
  set(TEST_RESULTS_ARG "${TEST_RESULTS_DIR}")
endif()

# Tests are kept by what they test (tests/album, tests/imageload...); a label
# says where each runs: "native" (and under the sanitizers), "wine" (Windows
# code under Wine), "operator" (journeys through the host). A folder whose
# tests run through the host sets TESTS_RUN to "operator". Every test with
# "gtest_report" writes a report that the summary expects.
function(label_tests)
  if(TESTS_RUN)
    set(where ${TESTS_RUN})
  elseif(WIN32)
    set(where wine)
  else()
    set(where native)
  endif()
  set_tests_properties(${ARGN} PROPERTIES LABELS "gtest_report;${where}")
endfunction()

# Tests of Windows programs run in a lane of the test run (scripts/lanes.sh):
# a virtual display and a copy of the Wine prefix of their own, one test at
# a time in each lane, so that tests in different lanes run side by side
# and real input never meets another test's windows. Every test that starts
# Wine says so here, and is labelled.
function(run_in_lane)
  set_tests_properties(${ARGN} PROPERTIES RESOURCE_GROUPS lanes:1)
  label_tests(${ARGN})
endfunction()

# add_gtest_program(NAME [SHARDS n] [KEEP_FILES dir file,...] [ARGS...])
# SHARDS runs the program as n tests, each a process of its own with every
# n-th case (GoogleTest's sharding), so that lanes share its cases out.
# KEEP_FILES keeps files the program leaves on drive C: (scripts/wine-run.sh).
function(add_gtest_program name)
  cmake_parse_arguments(PARSE_ARGV 1 opt "" "SHARDS" "KEEP_FILES")
  set(command ${name})
  if(opt_KEEP_FILES)
    list(GET opt_KEEP_FILES 0 dir)
    list(GET opt_KEEP_FILES 1 files)
    set(command ${REPO_ROOT}/scripts/wine-run.sh --keep-files ${dir} ${files} $<TARGET_FILE:${name}>)
  endif()
  if(NOT opt_SHARDS)
    set(opt_SHARDS 1)
  endif()
  set(tests)
  foreach(index RANGE 1 ${opt_SHARDS})
    if(opt_SHARDS EQUAL 1)
      set(test ${name})
    else()
      set(test ${name}_${index}of${opt_SHARDS})
    endif()
    add_test(NAME ${test} COMMAND ${command} --gtest_output=xml:${TEST_RESULTS_ARG}/${test}.xml
             ${opt_UNPARSED_ARGUMENTS})
    if(NOT opt_SHARDS EQUAL 1)
      math(EXPR shard "${index} - 1")
      set_tests_properties(${test} PROPERTIES ENVIRONMENT "GTEST_TOTAL_SHARDS=${opt_SHARDS};GTEST_SHARD_INDEX=${shard}")
    endif()
    list(APPEND tests ${test})
  endforeach()
  label_tests(${tests})
  if(WIN32)
    run_in_lane(${tests})
    # Windows programs validate their heaps after each test.
    target_link_libraries(${name} PRIVATE heap_checkpoint)
  endif()
  # The names of the tests, for properties such as fixtures.
  set(${name}_TESTS ${tests} PARENT_SCOPE)
endfunction()

# add_x64_test(NAME PROGRAM [ARGS...]): in the 64-bit tree (build/win64),
# runs a test program of the 32-bit suite, or the part of it that ARGS
# choose (--gtest_filter), as the test x64_NAME, labelled "x64": the run of
# the 64-bit libraries under 64-bit Wine selects them by that label
# (scripts/test-x64.sh). Nothing in the 32-bit tree.
function(add_x64_test name program)
  if(NOT WINDOWS_ARCH STREQUAL x86_64)
    return()
  endif()
  set(test x64_${name})
  add_test(NAME ${test} COMMAND ${program} --gtest_output=xml:${TEST_RESULTS_ARG}/${test}.xml ${ARGN})
  set_tests_properties(${test} PROPERTIES LABELS "gtest_report;x64" RESOURCE_GROUPS lanes:1)
  set(${name}_X64_TEST ${test} PARENT_SCOPE)
endfunction()
