#!/usr/bin/env bash
# Builds the programs and takes the sample zone apart, showing what came out.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target tarnsplit >/dev/null

work=build/demo
rm -rf "$work" && mkdir -p "$work"
cp samples/zone.lvz "$work/"
(cd "$work" && ../unpacker/tarnsplit zone.lvz)
echo "tarnsplit zone.lvz: exit status 0; it wrote $work/zone:"
ls -l --time-style=long-iso "$work/zone"
echo
echo "== $work/zone/zone.ini"
tr -d '\r' < "$work/zone/zone.ini"
