#!/usr/bin/env bash
# Runs the example sessions of the README and the manual pages and compares what the programs
# print with what the documents show, so that a change of behaviour leaves no stale example.
#
#   doc_examples.sh SOURCE_DIR PROGRAM_DIR... -- SCRATCH_DIR
#
# A session is a fenced block of the README, or an .EX/.EE block of a manual page, whose
# first line begins with "$ ". Each one runs in a fresh copy of the sample zone whose files
# are dated 2026-12-08 23:43:37 local time, with the programs of PROGRAM_DIR first in PATH,
# its commands in one shell (so cd carries) and standard input empty. In the expected text a
# line "..." stands for any number of lines, and a line ending in "..." for any line that
# begins with the text before it. Output lines end in CR LF nowhere in the documents, so CRs
# are dropped before comparing.
set -uo pipefail

source_dir=$1
shift
path=""
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  path="$path${path:+:}$1"
  shift
done
scratch=$2
export PATH="$path:$PATH"

# Prints the sessions of a markdown file, each line prefixed with its line number, blocks
# ended by a line "@@".
markdown_sessions() {
  awk '
    /^```/ { if (inside) { if (session) print "@@"; inside = 0 } else { inside = 1; first = 1; session = 0 } next }
    inside { if (first) { session = /^\$ /; first = 0 } if (session) print NR ":" $0 }
  ' "$1"
}

# The same for the .EX/.EE blocks of a manual page, with its escapes turned into the text
# they stand for; an escape the test cannot read fails it rather than passing silently.
manual_sessions() {
  awk '
    /^\.EX/ { inside = 1; first = 1; session = 0; next }
    /^\.EE/ { if (inside && session) print "@@"; inside = 0; next }
    inside { if (first) { session = /^\$ /; first = 0 } if (session) print NR ":" $0 }
  ' "$1" | sed -e 's/\\-/-/g' -e 's/\\e/\\\\/g' -e 's/\\&//g' | sed -e 's/\\\\/\x01/g' |
    awk '/\\/ { print "unreadable escape in line " $0 > "/dev/stderr"; exit 1 } { print }' |
    sed -e 's/\x01/\\/g'
}

# True when the actual lines (array actual, from index $1) match the expected ones (array
# expected, from index $2) under the rules above.
matches() {
  local a=$1 e=$2
  while [ "$e" -lt "${#expected[@]}" ]; do
    local want=${expected[$e]}
    if [ "$want" = ... ]; then
      local from
      for ((from = a; from <= ${#actual[@]}; from++)); do
        matches "$from" $((e + 1)) && return 0
      done
      return 1
    fi
    [ "$a" -lt "${#actual[@]}" ] || return 1
    local got=${actual[$a]}
    if [ "${want%...}" != "$want" ]; then
      [ "${got#"${want%...}"}" != "$got" ] || [ -z "${want%...}" ] || return 1
    else
      [ "$got" = "$want" ] || return 1
    fi
    a=$((a + 1)) e=$((e + 1))
  done
  [ "$a" -eq "${#actual[@]}" ]
}

sessions=0
failures=0
# Runs the session of lines (array block, "NUMBER:TEXT") from document $1.
run_session() {
  local document=$1 start=${block[0]%%:*}
  expected=()
  local line script=""
  for line in "${block[@]}"; do
    line=${line#*:}
    expected+=("$line")
    # Each command shows itself, then runs.
    [ "${line#\$ }" != "$line" ] &&
      script+="printf '%s\\n' $(printf '%q' "$line"); ${line#\$ }"$'\n'
  done
  local work=$scratch/session-$sessions
  rm -rf "$work" && mkdir -p "$work" && cp -R "$source_dir/samples/zone" "$work/" &&
    find "$work/zone" -exec touch -d '2026-12-08 23:43:37' {} +
  local output
  output=$(cd "$work/zone" && bash -c "$script" 2>&1 </dev/null | tr -d '\r')
  mapfile -t actual <<<"$output"
  sessions=$((sessions + 1))
  if ! matches 0 0; then
    failures=$((failures + 1))
    echo "$document, the example at line $start, shows:"
    printf '  %s\n' "${expected[@]}"
    echo "but the programs print:"
    printf '  %s\n' "${actual[@]}"
  fi
}

run_document() {
  local document=$1 reader=$2 text
  text=$("$reader" "$source_dir/$document") || { echo "$document cannot be read"; failures=$((failures + 1)); return; }
  block=()
  local line
  while IFS= read -r line; do
    if [ "$line" = @@ ]; then
      run_session "$document"
      block=()
    else
      block+=("$line")
    fi
  done <<<"$text"
}

run_document README.md markdown_sessions
run_document man/tarnpack.1 manual_sessions
run_document man/tarnsplit.1 manual_sessions

echo "$sessions example sessions, $failures stale"
[ "$sessions" -gt 0 ] && [ "$failures" -eq 0 ]
