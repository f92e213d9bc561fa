# How Windows programs run on this machine: wine's 64-bit loader, headless and quiet.
set(TARN_WINE_LOADER /usr/lib/wine/wine64 CACHE FILEPATH "wine's loader for 64-bit Windows programs")

# Sets out to the command prefix that runs a Windows program under wine with its own prefix
# directory. No display: a message box returns at once instead of waiting for a click.
# No mono or gecko: creating the prefix then asks nothing.
function(tarn_wine_command out prefix)
  set(${out}
      env -u DISPLAY -u WAYLAND_DISPLAY "WINEPREFIX=${prefix}" WINEDEBUG=-all
      "WINEDLLOVERRIDES=mscoree,mshtml=" ${TARN_WINE_LOADER}
      PARENT_SCOPE)
endfunction()
