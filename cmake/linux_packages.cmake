# What the Linux packages add to the programs: the manual pages (for `cmake --install`, the
# .tar.gz and the .deb). Included by the top CMakeLists.txt before CPack.

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

add_custom_target(compressed_documentation ALL DEPENDS ${tarn_compressed_files})
