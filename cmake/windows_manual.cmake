# The manual in the Windows package: each page as plain text (render_manual.cmake), installed
# beside README.md as tarnpack.txt and tarnsplit.txt, the names that tarnsplit's --help gives
# there (platform/windows/manual_windows.cpp). groff comes with man-db (Debian package
# groff-base), which scripts/test.sh installs. Included by the top CMakeLists.txt on Windows.
find_program(TARN_GROFF groff REQUIRED)
set(tarn_manual_texts)
foreach(program tarnpack tarnsplit)
  set(page ${PROJECT_SOURCE_DIR}/man/${program}.1)
  set(text ${CMAKE_BINARY_DIR}/manual/${program}.txt)
  add_custom_command(OUTPUT ${text}
                     COMMAND ${CMAKE_COMMAND} -D GROFF=${TARN_GROFF} -D PAGE=${page} -D OUTPUT=${text}
                             -P ${CMAKE_CURRENT_LIST_DIR}/render_manual.cmake
                     DEPENDS ${page} ${CMAKE_CURRENT_LIST_DIR}/render_manual.cmake VERBATIM)
  list(APPEND tarn_manual_texts ${text})
endforeach()
add_custom_target(manual_text ALL DEPENDS ${tarn_manual_texts})
install(FILES ${tarn_manual_texts} DESTINATION ${tarn_doc_dir})
