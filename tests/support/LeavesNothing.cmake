# Runs a unit-test binary with TMPDIR at a fresh empty directory of its own and
# fails when the binary fails or leaves anything in that directory: every test
# removes its own directory, pass or fail. The directory is removed afterwards
# either way.
#   cmake -DBINARY=<test binary> -DDIR=<directory for this run> -P LeavesNothing.cmake
if(NOT BINARY OR NOT DIR)
  message(FATAL_ERROR "usage: cmake -DBINARY=<test binary> -DDIR=<directory> -P LeavesNothing.cmake")
endif()
file(REMOVE_RECURSE "${DIR}")
file(MAKE_DIRECTORY "${DIR}")
set(ENV{TMPDIR} "${DIR}")
execute_process(COMMAND "${BINARY}" --gtest_brief=1 RESULT_VARIABLE result)
file(GLOB left LIST_DIRECTORIES true RELATIVE "${DIR}" "${DIR}/*")
file(REMOVE_RECURSE "${DIR}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${BINARY} failed (${result})")
endif()
if(left)
  list(LENGTH left count)
  list(JOIN left "\n  " names)
  message(FATAL_ERROR "${BINARY} left ${count} entries under its TMPDIR:\n  ${names}")
endif()
