# The manual pages, as a user gets them. Not in the sanitizer build, which checks the code.
if(NOT WIN32 AND NOT TARN_SANITIZE)
  set(pages ${PROJECT_SOURCE_DIR}/man/tarnpack.1 ${PROJECT_SOURCE_DIR}/man/tarnsplit.1)
  add_test(NAME ManualPages
           COMMAND ${CMAKE_COMMAND} "-D PAGES=${pages}" -P ${PROJECT_SOURCE_DIR}/cmake/check_manual_pages.cmake)
endif()
