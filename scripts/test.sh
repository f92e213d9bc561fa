#!/usr/bin/env bash
# Builds everything for this machine and for Windows (mingw-w64; the Windows tests run under
# wine) and runs the whole test suite on both, with the check that both platforms' programs
# leave the same bytes. `scripts/test.sh native` builds and tests this machine only.
set -euo pipefail
cd "$(dirname "$0")/.."

native_only=false
[ "${1:-}" = native ] && native_only=true

# The Linux packages are made and checked with Debian's tools; the manual pages with man.
package_tools=(lintian man-db dpkg-dev file)
if $native_only; then
  scripts/setup.sh "${package_tools[@]}"
  windows_programs=""
else
  # tarnpack.exe's dialog and boxes are tested on a virtual display: Xvfb, xdotool, import;
  # its names in code page 932 under the Japanese locale, compiled from the sources in locales;
  # its manual rendered as text by groff.
  scripts/setup.sh "${package_tools[@]}" groff-base g++-mingw-w64-x86-64 libz-mingw-w64-dev wine64 googletest \
    xvfb xdotool imagemagick locales
  # Windows first: the tests here compare with the Windows programs as installed. Its GUI
  # test compares with the Linux tarnpack, built below before the Windows tests run.
  cmake --preset windows -DTARN_LINUX_TARNPACK="$PWD/build/packer/tarnpack" >/dev/null
  cmake --build --preset windows
  cmake --install build-windows --prefix build-windows/stage >/dev/null
  windows_programs="$PWD/build-windows/stage/bin"
fi

cmake --preset default -DTARN_WINDOWS_PROGRAMS="$windows_programs" >/dev/null
cmake --build --preset default
ctest --preset default
# No test runs twice: the Windows tests share one wine session (the fixture wine_session), so
# none waits for wine to start or end one, and a failure under wine fails the run.
$native_only || ctest --preset windows
