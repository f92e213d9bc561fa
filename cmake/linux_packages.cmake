# What the Linux packages add to the programs: the manual pages (for `cmake --install`, the
# .tar.gz and the .deb), and the Debian package's own files and fields. Included by the top
# CMakeLists.txt before CPack.

# Compressed as Debian installs documentation: gzip -9n stores no name and no time stamp,
# so every build gives the same bytes.
find_program(TARN_GZIP gzip REQUIRED)
set(tarn_compressed_files)

# Sets out to the path in the build directory of source compressed with gzip -9n.
function(tarn_compress source name out)
  set(compressed ${CMAKE_BINARY_DIR}/compressed/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${name}
                     COMMAND ${TARN_GZIP} -9nf ${name}
                     WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/compressed
                     DEPENDS ${source} VERBATIM)
  set(tarn_compressed_files ${tarn_compressed_files} ${compressed} PARENT_SCOPE)
  set(${out} ${compressed} PARENT_SCOPE)
endfunction()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/compressed)

foreach(program tarnpack tarnsplit)
  tarn_compress(${PROJECT_SOURCE_DIR}/man/${program}.1 ${program}.1 page)
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The Debian changelog's last entry names the version packaged, "tarn (1.0.0-1) ...": the
# project's version and the package's revision.
set(changelog ${PROJECT_SOURCE_DIR}/packaging/changelog.Debian)
file(STRINGS ${changelog} latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^${PROJECT_NAME} \\(([^ )]+)-([^ )-]+)\\) ")
  message(FATAL_ERROR "${changelog}: the first line names no version such as 'tarn (1.0.0-1)'")
elseif(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "${changelog}: the latest entry is for ${CMAKE_MATCH_1}, the project is at "
                      "${PROJECT_VERSION}: add an entry for it")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})
tarn_compress(${changelog} changelog.Debian changelog_gz)

# The Debian copyright file, in Debian's machine-readable format, made from LICENSE: its
# copyright line, then its terms (the MIT license is "Expat" to Debian).
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
if(NOT license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(.*[^\n])\n*$")
  message(FATAL_ERROR "LICENSE: no 'Copyright (c) ...' line followed by the terms")
endif()
set(holders "${CMAKE_MATCH_1}")
# Continuation lines begin with a blank; an empty line is written " .".
string(REPLACE "\n\n" "\n.\n" terms "${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " terms "${terms}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/debian/copyright @ONLY CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PROJECT_NAME}

Files: *
Copyright: ${holders}
License: Expat
 ${terms}
")
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${changelog} ${PROJECT_SOURCE_DIR}/LICENSE)

add_custom_target(compressed_documentation ALL DEPENDS ${tarn_compressed_files})

# Only in the .deb (cpack_generators.cmake adds them there): the other packages and
# `cmake --install` carry LICENSE instead.
install(FILES ${CMAKE_BINARY_DIR}/debian/copyright ${changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides RENAME ${PROJECT_NAME}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_generators.cmake)
