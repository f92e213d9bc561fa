# Cross-platform checks: the Windows package, and the agreement of both platforms' programs.
include(${PROJECT_SOURCE_DIR}/cmake/wine.cmake)

# Both platforms agree: given the folder of the Windows programs (the windows preset's
# install), the programs built here and those, run under wine, must leave the same bytes.
set(TARN_WINDOWS_PROGRAMS "" CACHE PATH "Folder of the Windows programs to compare with (empty: no comparison)")
if(TARN_WINDOWS_PROGRAMS AND NOT CMAKE_CROSSCOMPILING)
  tarn_wine_command(wine_command ${CMAKE_BINARY_DIR}/wine)
  list(JOIN wine_command "' '" wine_words)
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/run-windows
       CONTENT "#!/bin/sh\n# Runs a Windows program under wine.\nexec '${wine_words}' \"$@\"\n")
  file(CHMOD ${CMAKE_BINARY_DIR}/run-windows PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
       GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

  add_executable(agreement_tests agreement_test.cpp)
  target_link_libraries(agreement_tests PRIVATE test_harness GTest::gtest_main)
  target_compile_definitions(agreement_tests PRIVATE
    WINDOWS_RUNNER="${CMAKE_BINARY_DIR}/run-windows"
    WINDOWS_PROGRAMS="${TARN_WINDOWS_PROGRAMS}"
    SAMPLE_DIRECTORY="${PROJECT_SOURCE_DIR}/samples/zone")
  add_dependencies(agreement_tests tarnsplit tarnpack)
  # wine makes its prefix on first use, which the session does before any test: two tests
  # doing that at once would trip each other.
  tarn_add_wine_session_tests(${CMAKE_BINARY_DIR}/wine)
  # The same time zone for both (wine takes the zone from TZ as the program starts), so
  # that local file times read alike.
  gtest_discover_tests(agreement_tests DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT ${test_environment} FIXTURES_REQUIRED wine_session)
endif()

# wine's prefix, made with the build: listing the tests through wine is then quick. Every
# test then runs in the one session of the fixture wine_session.
if(WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR AND TARN_WINE_PREFIX)
  add_custom_command(OUTPUT ${TARN_WINE_PREFIX}/system.reg
                     COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
                     COMMENT "Making the wine prefix")
  add_custom_target(wine_prefix ALL DEPENDS ${TARN_WINE_PREFIX}/system.reg)
  tarn_add_wine_session_tests(${TARN_WINE_PREFIX})
endif()

# The Windows package as a user gets it: its programs are self-contained and run.
if(WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR)
  set(packaged tarnsplit tarnpack)
  add_test(NAME WindowsPackage
           COMMAND ${CMAKE_COMMAND} -D BUILD_DIR=${CMAKE_BINARY_DIR} -D CPACK=${CMAKE_CPACK_COMMAND}
                   -D OBJDUMP=${CMAKE_OBJDUMP} "-D EMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
                   "-D PROGRAMS=${packaged}" -P ${PROJECT_SOURCE_DIR}/cmake/check_windows_package.cmake)
  set_tests_properties(WindowsPackage PROPERTIES FIXTURES_REQUIRED wine_session)
endif()
