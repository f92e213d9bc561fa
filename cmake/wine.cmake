# How Windows programs run on this machine: wine's 64-bit loader, headless and quiet.
set(TARN_WINE_LOADER /usr/lib/wine/wine64 CACHE FILEPATH "wine's loader for 64-bit Windows programs")

# Sets out to the command prefix that runs a Windows program under wine with its own prefix
# directory. No display: a message box returns at once instead of waiting for a click.
# No mono or gecko: creating the prefix then asks nothing. No explorer.exe: without a
# display it cannot make the desktop that a GUI program (tarnpack.exe) asks it for, and
# until it gives up it holds the program's standard error, which the test reading it then
# waits for: seconds, and over a minute when two programs ask at once.
function(tarn_wine_command out prefix)
  set(${out}
      env -u DISPLAY -u WAYLAND_DISPLAY "WINEPREFIX=${prefix}" WINEDEBUG=-all
      "WINEDLLOVERRIDES=mscoree,mshtml,explorer.exe=" ${TARN_WINE_LOADER}
      PARENT_SCOPE)
endfunction()

# Adds the tests WineSessionStart and WineSessionEnd, which set up and end the fixture
# wine_session: one wine session in prefix (made when missing), its server persistent, for
# the whole test run. A test that started a session of its own would leave wine's services
# running with its output open, and ctest would wait for them to end (a minute and more);
# started here, they hold no test's output, and no test pays their start-up of seconds.
function(tarn_add_wine_session_tests prefix)
  tarn_wine_command(wine ${prefix})
  get_filename_component(wine_directory ${TARN_WINE_LOADER} DIRECTORY)
  set(server ${wine_directory}/wineserver)
  # A server that listing the tests started ends within seconds, and is waited for; one that
  # a stopped run left persistent is taken as it is (never killed here: a server killed
  # while it loads the registry saves what it has, and the prefix loses the rest). A prefix
  # missing, or whose registry lost its time zones' rules that way (the tests of local times
  # would fail in it), is made anew first, as the build makes one, its server left to end. The
  # server keeps its standard error open, the services all they inherit, for as long as they
  # run: none of this test's output.
  add_test(NAME WineSessionStart
           COMMAND sh -c [[if timeout 30 "$0" -w && ! grep -qs '"TZI"=' "$WINEPREFIX/system.reg"; then
                            rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX" &&
                            "$@" wineboot --init </dev/null >/dev/null 2>&1; timeout 120 "$0" -w
                          fi
                          mkdir -p "$WINEPREFIX" && { "$0" -p 2>/dev/null; true; } &&
                          exec "$@" wineboot --init </dev/null >/dev/null 2>&1]]
                   ${server} ${wine})
  add_test(NAME WineSessionEnd COMMAND sh -c [["$0" -k; exec "$0" -w]] ${server})
  set_tests_properties(WineSessionStart WineSessionEnd PROPERTIES ENVIRONMENT "WINEPREFIX=${prefix}")
  set_tests_properties(WineSessionStart PROPERTIES FIXTURES_SETUP wine_session)
  set_tests_properties(WineSessionEnd PROPERTIES FIXTURES_CLEANUP wine_session)
endfunction()
