# Runs the simulator with ARGS and compares its output with the EXPECTED records.
execute_process(COMMAND ${SIM} ${ARGS} OUTPUT_FILE ${ACTUAL} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "hwatable-sim ended with status ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED} ${ACTUAL}
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "the simulator's records differ from ${EXPECTED}; see ${ACTUAL} "
                      "(after a deliberate change of behaviour, run tools/regen-golden.sh)")
endif()
