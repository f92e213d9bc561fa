#!/usr/bin/env bash
# tarnpack.exe as a user sees it: under wine on a virtual display (Xvfb), driven with xdotool,
# its windows read with window_texts.exe, in a wine prefix of its own (wine remembers the
# dialog's last folder there). The dialog packs a description chosen in a subfolder, relative
# to that folder, into the same bytes as the Linux tarnpack; Escape cancels; an error, --help
# and --check show their boxes, the last one fitting on the screen. Screenshots of the
# dialog, the error box and the check box stay in ARTIFACTS.
#
# Usage: tarnpack_gui_test.sh TARNPACK_EXE WINDOW_TEXTS_EXE WINE_LOADER LINUX_TARNPACK SAMPLE_ZONE ARTIFACTS
# Exit status: 0 passed, 1 failed, 77 skipped (a tool, the display or the Linux tarnpack missing).
set -uo pipefail

if [ $# -ne 6 ]; then
  echo "Usage: $0 TARNPACK_EXE WINDOW_TEXTS_EXE WINE_LOADER LINUX_TARNPACK SAMPLE_ZONE ARTIFACTS" >&2
  exit 2
fi
tarnpack_exe=$1 texts_exe=$2 wine=$3 linux_tarnpack=$4 sample_zone=$5 artifacts=$6
wineserver=$(dirname "$wine")/wineserver

skip() { echo "Skipped: $*"; exit 77; }
# Also from inside $(...): the message goes to standard error, the caller exits on the status.
# The screen as it stands then is kept beside the other screenshots.
fail() {
  echo "FAILED: $*" >&2
  [ -n "${DISPLAY:-}" ] && import -window root "$artifacts/failure.png" 2>/dev/null &&
    echo "The screen: $artifacts/failure.png" >&2
  exit 1
}

for tool in Xvfb xdotool import timeout; do
  command -v "$tool" >/dev/null ||
    skip "$tool is missing (Debian packages xvfb, xdotool, imagemagick; scripts/test.sh installs them)"
done
[ -x "$wine" ] && [ -x "$wineserver" ] || skip "no wine at $wine"
[ -n "$linux_tarnpack" ] && [ -x "$linux_tarnpack" ] ||
  skip "no Linux tarnpack to compare with (configure with -DTARN_LINUX_TARNPACK=PATH; scripts/test.sh does)"

mkdir -p "$artifacts" && rm -f "$artifacts"/*.png
work=$(mktemp -d)
xvfb_pid=""
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY

# Every way out ends this prefix's wine processes and the display, and removes the scratch.
cleanup() {
  [ -d "$WINEPREFIX" ] && timeout 30 "$wineserver" -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# Runs the command until it succeeds, for at most SECONDS; false when time runs out.
poll() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# The display: Xvfb picks a free number itself and writes it once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display_ready() { [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; }
poll 30 display_ready && [ -s "$work/display" ] || skip "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -n 1 "$work/display")

# A fresh prefix, made without the display; its session ends before the programs start one on it.
env -u DISPLAY timeout 300 "$wine" wineboot --init >"$work/wineboot.log" 2>&1 ||
  fail "wineboot --init: $(cat "$work/wineboot.log")"
timeout 60 "$wineserver" -w || fail "wine's server did not end after wineboot"

# The visible window titled $1 (its id on standard output), waited for at most 60 seconds.
find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }
window_of() {
  poll 60 find_window "$1" >/dev/null || fail "no window \"$1\" within 60 s"
  find_window "$1"
}

# What the window titled $1 shows, a line per control text and combo-box item.
texts() { timeout 30 "$wine" "$texts_exe" "$1" 2>/dev/null | tr -d '\r'; }
shows() { texts "$1" | grep -Fxq -- "$2"; }
# True when the open dialog's folder (the text after its "Look in" label) is $1.
looks_in() { [ "$(texts Open | sed -n '/^Look &in:$/{n;p;q}')" = "$1" ]; }

# Focuses the window (without a window manager keys go to the window under the pointer, so
# the pointer goes there too), then runs the xdotool command on it.
to_window() {
  local window=$1
  shift
  timeout 10 xdotool mousemove --window "$window" 5 5 windowfocus --sync "$window" "$@" ||
    fail "cannot send \"$*\" to window $window"
}

# Starts tarnpack.exe in folder $1 with the remaining arguments; its status lands in a file.
start_tarnpack() {
  rm -f "$work/status"
  (cd "$1" && shift && "$wine" "$tarnpack_exe" "$@" >/dev/null 2>&1; echo $? >"$work/status") &
}

# tarnpack's exit status, waited for at most 30 seconds.
ended() { [ -s "$work/status" ]; }
status_of_tarnpack() {
  poll 30 ended || fail "tarnpack.exe still runs 30 s after its last window was answered;" \
    "windows: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' ' ')"
  cat "$work/status"
}

expect_status() {
  local status
  status=$(status_of_tarnpack) || exit 1
  [ "$status" = "$1" ] || fail "$2: tarnpack.exe ended with $status, not $1"
}

folder=$work/zone
mkdir -p "$folder"
cp -Rp "$sample_zone" "$folder/sub"
(cd "$folder/sub" && "$linux_tarnpack" zone.ini && mv zone.lvz "$work/expected.lvz") ||
  fail "the Linux tarnpack did not pack the sample"

# Once Return has chosen the description in the dialog ($1 says how it was named): status 0,
# and the container beside the description, the Linux tarnpack's bytes, nothing beside tarnpack.
expect_packed_beside_description() {
  to_window "$dialog" key Return
  expect_status 0 "the description $1"
  cmp "$work/expected.lvz" "$folder/sub/zone.lvz" ||
    fail "the container packed from the description $1 differs from the Linux tarnpack's"
  [ ! -e "$folder/zone.lvz" ] || fail "OutFile was written beside tarnpack, not beside the description"
}

echo "The dialog: a name typed with its folder"
# The prefix is fresh, so the dialog opens in the folder tarnpack started in. A name typed
# with its folder leaves wine's current directory as it was; tarnpack makes the
# description's folder the current one itself, so the description's paths are relative to it.
start_tarnpack "$folder"
dialog=$(window_of Open) || exit 1
shows Open "Ini Files (*.ini)" && shows Open "All Files (*.*)" ||
  fail "the dialog does not offer the filters: $(texts Open)"
to_window "$dialog" type --delay 20 'sub\zone.ini'
poll 20 shows Open 'sub\zone.ini' || fail "the typed name did not reach the dialog: $(texts Open)"
expect_packed_beside_description "typed with its folder"

echo "The dialog: a description in a subfolder"
# The dialog goes into the folder (typed as a full path: wine may open the dialog in the
# folder it remembers from the last run), then the name is typed alone.
rm -f "$folder/sub/zone.lvz"
start_tarnpack "$folder"
dialog=$(window_of Open) || exit 1
to_window "$dialog" type --delay 20 "Z:${folder//\//\\}\\sub"
to_window "$dialog" key Return
poll 20 looks_in sub || fail "the dialog did not open the folder sub: $(texts Open)"
to_window "$dialog" type --delay 20 zone.ini
poll 20 shows Open 'zone.ini' || fail "the typed name did not reach the dialog: $(texts Open)"
import -window "$dialog" "$artifacts/dialog.png" || fail "no screenshot of the dialog"
expect_packed_beside_description "chosen in its folder"

echo "The dialog: Escape"
# Escape cancels: status 1, and nothing is written.
before=$(cd "$folder" && find . -printf '%p %s %T@\n' | sort)
start_tarnpack "$folder"
dialog=$(window_of Open) || exit 1
to_window "$dialog" key Escape
expect_status 1 "Escape in the dialog"
after=$(cd "$folder" && find . -printf '%p %s %T@\n' | sort)
[ "$before" = "$after" ] || fail "Escape in the dialog changed the folder: $(diff <(echo "$before") <(echo "$after"))"

echo "An error"
# An error: the box titled "Error" shows it; OK ends the run with status 2, nothing written.
printf 'OutFile=bad.lvz\r\nFile=missing.txt\r\n' >"$folder/bad.ini"
start_tarnpack "$folder" bad.ini
box=$(window_of Error) || exit 1
shows Error "Unable to open missing.txt" || fail "the error box shows: $(texts Error)"
import -window "$box" "$artifacts/error-box.png" || fail "no screenshot of the error box"
to_window "$box" key Return
expect_status 2 "OK on the error box"
[ ! -e "$folder/bad.lvz" ] || fail "a failed run wrote its container"

echo "--help"
# --help: the usage in a box titled "tarnpack", then status 0.
start_tarnpack "$folder" --help
box=$(window_of tarnpack) || exit 1
shows tarnpack "Usage: tarnpack [description.ini]" || fail "the help box shows: $(texts tarnpack)"
to_window "$box" key Return
expect_status 0 "OK on the help box"

echo "--check of 300 files"
# The box fits on the screen with its OK button, also where its lines wrap: the warnings
# first, then the totals, as many entries as fit, and lines that count the rest.
many=$folder/many
mkdir -p "$many"
{
  printf 'OutFile=many.lvz\r\n'
  for i in $(seq -w 1 20); do printf 'Fle=typo-%s.txt\r\n' "$i"; done
  for i in $(seq -w 1 300); do
    printf 'File=file-%s.txt\r\n' "$i"
    for _ in $(seq 1 50); do echo "file $i"; done >"$many/file-$i.txt"
  done
} >"$many/many.ini"
start_tarnpack "$many" --check many.ini
box=$(window_of tarnpack) || exit 1
import -window root "$artifacts/check-box.png" || fail "no screenshot of the check box"
# The line (from 1) of the check box's texts that begins with $1.
line_of() {
  texts tarnpack | awk -v text="$1" 'index($0, text) == 1 { print NR; found = 1; exit } END { exit !found }'
}
warning=$(line_of "warning: line 'Fle=typo-01.txt' is ignored: the head holds only OutFile, File and ExtractFile") &&
  more_warnings=$(line_of "... and ") && totals=$(line_of "many.lvz: 300 sections, ") &&
  entry=$(line_of "  compressed  file-001.txt  450 -> ") && more_entries=$(line_of "  ... and ") ||
  fail "the check box shows: $(texts tarnpack)"
[ "$warning" -lt "$more_warnings" ] && [ "$more_warnings" -lt "$totals" ] && [ "$totals" -lt "$entry" ] &&
  [ "$entry" -lt "$more_entries" ] || fail "the check box shows its lines in another order: $(texts tarnpack)"
eval "$(xdotool getwindowgeometry --shell "$box")"
[ "$Y" -ge 0 ] && [ $((Y + HEIGHT)) -le 768 ] || fail "the check box (y $Y, height $HEIGHT) passes the screen's 768 pixels"
to_window "$box" key Return
expect_status 0 "OK on the check box"
[ ! -e "$many/many.lvz" ] || fail "--check wrote the container"

echo "Screenshots: $artifacts/dialog.png $artifacts/error-box.png $artifacts/check-box.png"
echo "Passed"
