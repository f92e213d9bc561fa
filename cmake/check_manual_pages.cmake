# Renders each manual page as man does on an 80-column terminal: any warning of the
# formatter (an unknown macro or escape, a line that cannot be set) fails the check.
# Run with cmake -P and -D PAGES (a list of page files).
cmake_minimum_required(VERSION 3.25)
find_program(MAN man)
if(NOT MAN)
  message(FATAL_ERROR "man is missing: scripts/setup.sh man-db installs it")
endif()
foreach(page IN LISTS PAGES)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 ${MAN} --warnings -l ${page}
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE warnings)
  if(NOT status EQUAL 0 OR warnings)
    message(FATAL_ERROR "man -l ${page}: status ${status}\n${warnings}")
  endif()
endforeach()
