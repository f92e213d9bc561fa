#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (the "sanitize"
# preset, in build-sanitize/) and runs the whole test suite: any error or leak fails it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$(nproc)"
ctest --preset sanitize -j"$(nproc)"
