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

# Code page 932 (Japanese), where the second byte of many characters is '\': the tests of it
# (named *CodePage932*, skipped elsewhere) run in a wine prefix of their own, since wine
# rewrites a prefix's locale whenever a program starts in another one, under the Japanese
# locale. wine reads file names through that locale, so it is compiled here from the system's
# locale sources (Debian package locales) into the build.
if(WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(TARN_LOCALEDEF localedef)
  if(TARN_LOCALEDEF AND EXISTS /usr/share/i18n/locales/ja_JP)
    set(locales ${CMAKE_BINARY_DIR}/locales)
    set(cp932_prefix ${CMAKE_BINARY_DIR}/wine-932)
    set(cp932_environment LOCPATH=${locales} LC_ALL=ja_JP.UTF-8)
    tarn_wine_command(cp932_wine ${cp932_prefix})
    add_custom_command(OUTPUT ${locales}/ja_JP.UTF-8/LC_CTYPE
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${locales}
                       COMMAND ${TARN_LOCALEDEF} -i ja_JP -f UTF-8 ${locales}/ja_JP.UTF-8
                       COMMENT "Compiling the Japanese locale")
    add_custom_command(OUTPUT ${cp932_prefix}/system.reg
                       COMMAND env ${cp932_environment} ${cp932_wine} wineboot --init
                       DEPENDS ${locales}/ja_JP.UTF-8/LC_CTYPE
                       COMMENT "Making the wine prefix of code page 932")
    add_custom_target(wine_prefix_932 ALL DEPENDS ${cp932_prefix}/system.reg)
    add_test(NAME CodePage932 COMMAND env ${cp932_environment} ${cp932_wine} $<TARGET_FILE:packer_tests>
                                      --gtest_filter=*CodePage932*)
    # Passed only when a test ran and passed: none skipped, none missing.
    set_tests_properties(CodePage932 PROPERTIES ENVIRONMENT ${test_environment} TIMEOUT 300
                         PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [1-9]"
                         FAIL_REGULAR_EXPRESSION "\\[  (FAILED|SKIPPED) \\]")
  else()
    message(WARNING "No localedef or no Japanese locale sources (Debian package locales): "
                    "the test CodePage932 is left out")
  endif()
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
