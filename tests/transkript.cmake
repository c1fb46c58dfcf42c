# Runs the engine on one command file and compares its output byte for byte
# with the recorded transcript.
execute_process(COMMAND ${PROGRAMM} INPUT_FILE ${EINGABE}
                OUTPUT_VARIABLE tatsaechlich RESULT_VARIABLE rc TIMEOUT 50)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "engine ended with '${rc}' on ${EINGABE}")
endif()
file(READ ${ERWARTET} erwartet)
if(NOT tatsaechlich STREQUAL erwartet)
  file(WRITE ${TATSAECHLICH} "${tatsaechlich}")
  message(FATAL_ERROR "output differs:\n  diff -u ${ERWARTET} ${TATSAECHLICH}")
endif()
