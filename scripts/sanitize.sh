#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (the "sanitize"
# preset, in build-sanitize/) and runs the whole test suite: any error or leak fails it.
# Then the tests of both programs once more under ThreadSanitizer (the "tsan" preset, in
# build-tsan/), for their workers: any data race fails them. The two tests that limit the
# address space are left out there: the sanitizer's own reservation is far larger.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$(nproc)"
ctest --preset sanitize -j"$(nproc)"

cmake --preset tsan >/dev/null
cmake --build --preset tsan -j"$(nproc)"
# The sanitizer's fixed memory layout can clash with a kernel that randomises more bits of
# the address space than it expects: randomisation is off where the system allows that.
fixed_layout=()
setarch "$(uname -m)" -R true 2>/dev/null && fixed_layout=(setarch "$(uname -m)" -R)
"${fixed_layout[@]}" ctest --preset tsan -j"$(nproc)"
