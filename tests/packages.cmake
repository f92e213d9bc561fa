# The Linux packages and the documents, as a user gets them. Not in the sanitizer build,
# whose programs are not what a user installs.
if(NOT WIN32 AND NOT TARN_SANITIZE)
  set(pages ${PROJECT_SOURCE_DIR}/man/tarnpack.1 ${PROJECT_SOURCE_DIR}/man/tarnsplit.1)
  add_test(NAME ManualPages
           COMMAND ${CMAKE_COMMAND} "-D PAGES=${pages}" -P ${PROJECT_SOURCE_DIR}/cmake/check_manual_pages.cmake)
  add_test(NAME LinuxPackages
           COMMAND ${CMAKE_COMMAND} -D BUILD_DIR=${CMAKE_BINARY_DIR} -D CPACK=${CMAKE_CPACK_COMMAND}
                   -P ${PROJECT_SOURCE_DIR}/cmake/check_linux_packages.cmake)
  set_tests_properties(LinuxPackages PROPERTIES TIMEOUT 600)
  # The example sessions of the README and the manual pages, run with the programs built here.
  add_test(NAME DocumentExamples
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/doc_examples.sh ${PROJECT_SOURCE_DIR}
                   $<TARGET_FILE_DIR:tarnpack> $<TARGET_FILE_DIR:tarnsplit> -- ${CMAKE_CURRENT_BINARY_DIR}/doc-examples)
  set_tests_properties(DocumentExamples PROPERTIES ENVIRONMENT ${test_environment})
endif()
