# Checks the Windows package as a user gets it: the .zip holds the programs, the README and
# every file it links to, LICENSE, the sample description and the manual as text (Windows has
# no man), the one that tarnsplit's --help names among them; each program imports only
# Windows' own libraries (everything else is linked in) and runs under wine; tarnpack packs
# the sample.
# Run with cmake -P and -D BUILD_DIR, CPACK, OBJDUMP, EMULATOR (a list), PROGRAMS (a list).
cmake_minimum_required(VERSION 3.25)
set(work ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${work})
execute_process(COMMAND ${CPACK} -G ZIP -B ${work} WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE failed OUTPUT_QUIET)
file(GLOB zip ${work}/*.zip)
if(failed OR NOT zip)
  message(FATAL_ERROR "cpack made no zip")
endif()
file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${work}/unpacked)
file(GLOB root ${work}/unpacked/*)

foreach(expected README.md LICENSE samples/zone/zone.ini tarnpack.txt tarnsplit.txt)
  if(NOT EXISTS ${root}/${expected})
    message(FATAL_ERROR "the zip lacks ${expected}")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/readme_links.cmake)
tarn_check_readme_links(${root})

set(system_libraries kernel32.dll msvcrt.dll user32.dll comdlg32.dll gdi32.dll advapi32.dll)
foreach(program IN LISTS PROGRAMS)
  set(exe ${root}/bin/${program}.exe)
  if(NOT EXISTS ${exe})
    message(FATAL_ERROR "the zip lacks bin/${program}.exe")
  endif()
  execute_process(COMMAND ${OBJDUMP} -p ${exe} OUTPUT_VARIABLE headers)
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
  foreach(import IN LISTS imports)
    string(REPLACE "DLL Name: " "" library "${import}")
    string(TOLOWER "${library}" library)
    if(NOT library IN_LIST system_libraries)
      message(FATAL_ERROR "${program}.exe needs ${library}: not linked statically")
    endif()
  endforeach()
endforeach()

execute_process(COMMAND ${EMULATOR} ${root}/bin/tarnsplit.exe --version
                OUTPUT_VARIABLE version RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT version MATCHES "^tarnsplit ")
  message(FATAL_ERROR "tarnsplit.exe --version under wine: status ${status}, output '${version}'")
endif()

execute_process(COMMAND ${EMULATOR} ${root}/bin/tarnsplit.exe --help OUTPUT_VARIABLE help)
if(NOT help MATCHES "see the manual, ([^\r\n]+)\\.\r?\n" OR NOT EXISTS ${root}/${CMAKE_MATCH_1})
  message(FATAL_ERROR "tarnsplit.exe --help names no manual that the zip holds:\n${help}")
endif()
# In hexadecimal: read as text, CMake drops the CRs.
file(READ ${root}/tarnsplit.txt manual LIMIT 80 HEX)
string(HEX "TARNSPLIT(1)" title)
if(NOT manual MATCHES "^${title}([0-9a-f][0-9a-f])*0d0a")
  message(FATAL_ERROR "tarnsplit.txt is no manual page as text with CR LF line ends: ${manual}")
endif()

file(COPY ${root}/samples/zone DESTINATION ${work}/run)
execute_process(COMMAND ${EMULATOR} ${root}/bin/tarnpack.exe zone.ini
                WORKING_DIRECTORY ${work}/run/zone RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS ${work}/run/zone/zone.lvz)
  message(FATAL_ERROR "tarnpack.exe zone.ini under wine: status ${status}, no zone.lvz")
endif()
message(STATUS "${zip}: ${PROGRAMS} run under wine, linked statically")
