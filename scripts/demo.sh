#!/usr/bin/env bash
# Builds the programs, packs the sample zone (samples/zone: files, images, map and screen
# objects) with tarnpack, takes the container apart again with tarnsplit and packs the
# description tarnsplit wrote back into the same container. Shows what came out.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target tarnpack tarnsplit >/dev/null

tarnpack=$PWD/build/packer/tarnpack
tarnsplit=$PWD/build/unpacker/tarnsplit
work=build/demo
rm -rf "$work" && mkdir -p "$work/pack"
# Containers hold local wall-clock times, which tarnsplit turns back into the files' own
# moments, so extracted files keep their times and the repacked container has the same bytes
# in any zone. The demo runs in Berlin's unless TZ names another.
export TZ="${TZ:-Europe/Berlin}"

# Unpacks $1/zone.lvz with tarnsplit and shows the directory and the description it wrote.
unpack() {
  echo "== tarnsplit zone.lvz (in $1)"
  (cd "$1" && "$tarnsplit" zone.lvz)
  echo "exit status 0; it wrote $1/zone:"
  ls -l --time-style=long-iso "$1/zone"
}

cp -R samples/zone "$work/pack/source"
# One file from a summer, the others from today: both seasons' offsets come into play.
touch -d '2021-07-15 12:00:00 UTC' "$work/pack/source/welcome.txt"
echo "(time zone $TZ)"
echo "== tarnpack zone.ini (in $work/pack/source)"
tr -d '\r' < "$work/pack/source/zone.ini"
(cd "$work/pack/source" && "$tarnpack" zone.ini)
mv "$work/pack/source/zone.lvz" "$work/pack/zone.lvz"
echo "exit status 0; $work/pack/zone.lvz holds $(wc -c < "$work/pack/zone.lvz") bytes"
echo
unpack "$work/pack"
for extracted in "$work"/pack/zone/*; do
  name=$(basename "$extracted")
  [ "$name" = zone.ini ] && continue
  original=$(find "$work/pack/source" -name "$name" -type f)
  if ! cmp -s "$original" "$extracted"; then
    echo "$name differs from ${original#"$work/pack/source/"}" >&2
    exit 1
  fi
  if [ "$(stat -c %Y "$original")" != "$(stat -c %Y "$extracted")" ]; then
    echo "$name is dated otherwise than ${original#"$work/pack/source/"}" >&2
    exit 1
  fi
  echo "$name: the same bytes and modification time as ${original#"$work/pack/source/"}"
done
echo
echo "== $work/pack/zone/zone.ini"
tr -d '\r' < "$work/pack/zone/zone.ini"
echo "== tarnpack zone.ini (in $work/pack/zone): the description tarnsplit wrote packs again"
(cd "$work/pack/zone" && "$tarnpack" zone.ini)
if ! cmp -s "$work/pack/zone.lvz" "$work/pack/zone/zone.lvz"; then
  echo "the repacked container differs from $work/pack/zone.lvz" >&2
  exit 1
fi
echo "exit status 0; $work/pack/zone/zone.lvz: the same bytes as $work/pack/zone.lvz, objects and all"
echo
