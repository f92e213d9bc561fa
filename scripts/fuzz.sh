#!/usr/bin/env bash
# Builds the fuzz targets (clang-14, libFuzzer, ASan, UBSan) in build-fuzz/, replays the
# committed corpus and every saved crash input, then fuzzes each target for a while.
# Any finding fails the run; its input is kept in build-fuzz/artifacts/ and shown in base64.
#
#   scripts/fuzz.sh                  replay, then 60 seconds per target (what CI runs)
#   scripts/fuzz.sh --seconds 14400  replay, then four hours per target
#   scripts/fuzz.sh --replay         replay only
#   scripts/fuzz.sh --target NAME    only that target (unpack_fuzzer, inflate_fuzzer, ...)
#   scripts/fuzz.sh --seeds DIR      also start from DIR/<corpus name>/ (inputs of another run)
#   scripts/fuzz.sh --merge          afterwards, merge what the run reached into fuzz/corpus/
#
# New inputs that a run finds collect in build-fuzz/corpus/<target>/; --merge keeps of them,
# and of the committed corpus, the fewest inputs that reach the same coverage (libFuzzer's
# -merge=1), for committing. A crash input goes to fuzz/regressions/<corpus name>/ together
# with the fix and its regression test.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
only=""
seeds=""
merge=false
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --replay) seconds=0; shift ;;
    --target) only="$2"; shift 2 ;;
    --seeds) seeds="$2"; shift 2 ;;
    --merge) merge=true; shift ;;
    *) echo "usage: scripts/fuzz.sh [--seconds N | --replay] [--target NAME] [--seeds DIR] [--merge]" >&2
       exit 2 ;;
  esac
done

scripts/setup.sh clang-14 libclang-rt-14-dev
cmake -S fuzz -B build-fuzz -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build build-fuzz -j"$(nproc)"

# 65536 bytes of input at most; an allocation that no such input justifies (above 96 MB: the
# largest section it can hold inflates to 1032 x 64 KiB) is a finding, and so is a slow input.
options=(-max_len=65536 -malloc_limit_mb=96 -timeout=10 -dict=fuzz/tarn.dict)

show_findings() {
  for artifact in build-fuzz/artifacts/"$1"-*; do
    [ -f "$artifact" ] || continue
    echo "Finding of $1: $artifact (base64 below)"
    base64 "$artifact"
  done
}

mkdir -p build-fuzz/artifacts
while read -r target; do
  [ -n "$target" ] && { [ -z "$only" ] || [ "$only" = "$target" ]; } || continue
  name=${target%_fuzzer}
  binary=build-fuzz/$target
  rm -f build-fuzz/artifacts/"$target"-*

  mapfile -t inputs < <(find "fuzz/corpus/$name" "fuzz/regressions/$name" -type f 2>/dev/null | sort)
  echo "== $target: replaying ${#inputs[@]} inputs"
  if [ ${#inputs[@]} -gt 0 ] && ! "$binary" "${options[@]}" -artifact_prefix="build-fuzz/artifacts/$target-" \
      "${inputs[@]}" >build-fuzz/replay.log 2>&1; then
    tail -n 40 build-fuzz/replay.log
    echo "$target failed on a committed input" >&2
    exit 1
  fi

  [ "$seconds" -gt 0 ] || continue
  echo "== $target: fuzzing for $seconds seconds"
  work=build-fuzz/corpus/$target
  mkdir -p "$work"
  starts=("fuzz/corpus/$name")
  [ -n "$seeds" ] && [ -d "$seeds/$name" ] && starts+=("$seeds/$name")
  if ! "$binary" "${options[@]}" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="build-fuzz/artifacts/$target-" "$work" "${starts[@]}" \
      >build-fuzz/"$target".log 2>&1; then
    tail -n 60 build-fuzz/"$target".log
    show_findings "$target"
    echo "$target found a fault" >&2
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|new_units_added)' build-fuzz/"$target".log || true
  if $merge; then
    merged=build-fuzz/merged/$name
    rm -rf "$merged" && mkdir -p "$merged"
    "$binary" "${options[@]}" -merge=1 "$merged" "${starts[@]}" "$work" >build-fuzz/"$target"-merge.log 2>&1
    rm -rf "fuzz/corpus/$name" && mv "$merged" "fuzz/corpus/$name"
    echo "== $target: fuzz/corpus/$name holds $(find "fuzz/corpus/$name" -type f | wc -l) inputs"
  fi
done < build-fuzz/fuzz_targets.txt
echo "fuzzing: no finding"
