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

function(add_gtest_program name)
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${TEST_RESULTS_ARG}/${name}.xml ${ARGN})
  # The summary expects a report from every test with this label.
  set_tests_properties(${name} PROPERTIES LABELS gtest_report)
  # Windows programs validate their heaps after each test.
  if(WIN32)
    target_link_libraries(${name} PRIVATE heap_checkpoint)
  endif()
endfunction()
