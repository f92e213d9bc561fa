# Renders a manual page as plain text for Windows, which has no man: the page as man shows it
# on an 80-column terminal, without bold or underlining, in ASCII, with CR LF line ends so
# that every editor there shows its lines. Any warning of the formatter fails the build.
# Run with cmake -P and -D GROFF, PAGE, OUTPUT.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${GROFF} -man -Tascii -P-cbou ${PAGE}
                RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE warnings)
if(NOT status EQUAL 0 OR warnings)
  message(FATAL_ERROR "groff ${PAGE}: status ${status}\n${warnings}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
