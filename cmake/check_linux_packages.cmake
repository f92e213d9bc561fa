# Checks the Linux packages as a user gets them: Debian's package checker (lintian) finds
# nothing wrong with the .deb but its maintainer's contact (the project has no address
# yet), and the .tar.gz holds the programs, their manual pages, LICENSE, and every file that
# the README links to.
# Run with cmake -P and -D BUILD_DIR, CPACK.
cmake_minimum_required(VERSION 3.25)
find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message(FATAL_ERROR "lintian is missing: scripts/setup.sh lintian installs it")
endif()

set(work ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${work})
execute_process(COMMAND ${CPACK} -G "TGZ;DEB" -B ${work} WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB deb ${work}/*.deb)
file(GLOB tgz ${work}/*.tar.gz)
if(failed OR NOT deb OR NOT tgz)
  message(FATAL_ERROR "cpack made no .deb and .tar.gz:\n${output}")
endif()

set(contact_tags malformed-contact,bogus-mail-host-in-debian-changelog)
execute_process(COMMAND ${LINTIAN} --fail-on error,warning --suppress-tags ${contact_tags} ${deb}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lintian on ${deb}:\n${report}")
endif()

file(ARCHIVE_EXTRACT INPUT ${tgz} DESTINATION ${work}/unpacked)
file(GLOB root ${work}/unpacked/*)
foreach(expected bin/tarnpack bin/tarnsplit share/man/man1/tarnpack.1.gz
                 share/man/man1/tarnsplit.1.gz share/doc/tarn/LICENSE share/doc/tarn/README.md
                 share/doc/tarn/samples/zone/zone.ini)
  if(NOT EXISTS ${root}/${expected})
    message(FATAL_ERROR "the .tar.gz lacks ${expected}")
  endif()
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/readme_links.cmake)
tarn_check_readme_links(${root}/share/doc/tarn)
message(STATUS "${deb}: lintian finds nothing but the maintainer's contact; ${tgz}: complete")
