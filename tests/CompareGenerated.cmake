# Runs GENERATOR OUT and fails unless OUT equals EXPECTED byte for byte.
execute_process(COMMAND ${GENERATOR} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed (${rc})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${EXPECTED} is not what ${GENERATOR} writes; regenerate it")
endif()
