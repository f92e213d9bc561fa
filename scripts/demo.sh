#!/usr/bin/env bash
# Builds the programs, packs the sample zone (samples/zone) with tarnpack and takes the
# container apart again with tarnsplit, showing what came out.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target tarnpack tarnsplit >/dev/null

work=build/demo
rm -rf "$work" && mkdir -p "$work"
cp -R samples/zone "$work/source"

echo "== tarnpack zone.ini (in $work/source)"
tr -d '\r' < "$work/source/zone.ini"
(cd "$work/source" && ../../packer/tarnpack zone.ini)
mv "$work/source/zone.lvz" "$work/zone.lvz"
echo "exit status 0; $work/zone.lvz holds $(wc -c < "$work/zone.lvz") bytes"
echo

echo "== tarnsplit zone.lvz (in $work)"
(cd "$work" && ../unpacker/tarnsplit zone.lvz)
echo "exit status 0; it wrote $work/zone:"
ls -l --time-style=long-iso "$work/zone"
for extracted in "$work"/zone/*; do
  name=$(basename "$extracted")
  [ "$name" = zone.ini ] && continue
  original=$(find "$work/source" -name "$name" -type f)
  if ! cmp -s "$original" "$extracted"; then
    echo "$name differs from ${original#"$work/source/"}" >&2
    exit 1
  fi
  echo "$name: the same bytes as ${original#"$work/source/"}"
done
echo

echo "== $work/zone/zone.ini"
tr -d '\r' < "$work/zone/zone.ini"
