#!/usr/bin/env bash
# Installs what the build and the tests need, when it is missing: cmake, g++, make, the zlib
# and libdeflate development files, GoogleTest and the time-zone database (the tests and the
# demo run in zones other than UTC). Installs with apt-get when run as root on Debian;
# otherwise says what to install.
set -euo pipefail

missing=()
command -v cmake >/dev/null || missing+=(cmake)
command -v g++ >/dev/null || missing+=(g++)
command -v make >/dev/null || missing+=(make)
[ -f /usr/include/zlib.h ] || missing+=(zlib1g-dev)
[ -f /usr/include/libdeflate.h ] || missing+=(libdeflate-dev)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -f /usr/share/zoneinfo/Europe/Berlin ] || missing+=(tzdata)
missing+=("$@")  # extra packages a caller needs

need=()
for package in "${missing[@]}"; do
  case "$package" in
    cmake|g++|make) command -v "$package" >/dev/null || need+=("$package") ;;
    *) dpkg -s "$package" >/dev/null 2>&1 || need+=("$package") ;;
  esac
done
[ ${#need[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
  echo "Installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
else
  echo "Please install these Debian packages first (as root): apt-get install ${need[*]}" >&2
  exit 1
fi
