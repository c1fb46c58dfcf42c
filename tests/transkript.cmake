# Runs the engine on one command file and compares its output byte for byte
# with the recorded transcript.
execute_process(COMMAND ${PROGRAMM} INPUT_FILE ${EINGABE}
                OUTPUT_VARIABLE tatsaechlich RESULT_VARIABLE rc TIMEOUT 50)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "engine ended with '${rc}' on ${EINGABE}")
endif()
file(READ ${ERWARTET} erwartet)
# The book's options start from what the machine has: the book where
# Debian's gnuchess-book puts it, if it is there.
if(EXISTS /usr/share/games/gnuchess/book.bin)
  set(EIGENES_BUCH 1)
  set(BUCHDATEI /usr/share/games/gnuchess/book.bin)
else()
  set(EIGENES_BUCH 0)
  set(BUCHDATEI "")
endif()
string(CONFIGURE "${erwartet}" erwartet @ONLY)
if(NOT tatsaechlich STREQUAL erwartet)
  file(WRITE ${TATSAECHLICH} "${tatsaechlich}")
  message(FATAL_ERROR "output differs:\n  diff -u ${ERWARTET} ${TATSAECHLICH}")
endif()
