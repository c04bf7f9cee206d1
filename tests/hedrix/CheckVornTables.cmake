# Regenerates the built-in object tables into OUT and fails when they differ
# from the checked-in CHECKED_IN (someone edited one without the other).
execute_process(COMMAND ${PYTHON} ${GENERATOR} ${OUT} RESULT_VARIABLE generated)
if(NOT generated EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed (${generated})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${CHECKED_IN} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  execute_process(COMMAND diff -u ${CHECKED_IN} ${OUT})
  message(FATAL_ERROR "${CHECKED_IN} is not what ${GENERATOR} writes; run the generator and commit its output")
endif()
