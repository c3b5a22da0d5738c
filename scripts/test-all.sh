#!/usr/bin/env bash
# Builds and runs every test: a normal build, then the same suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, then under ThreadSanitizer
# (the presets release, asan-ubsan and tsan of CMakePresets.json).
# KORVANE_WERROR=1 (as .ci/run sets it) makes every warning an error.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
werror=${KORVANE_WERROR:-OFF}

run_suite() {
  local preset=$1
  cmake --preset "$preset" -DKORVANE_WERROR="$werror" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset" -j"$jobs"
}

echo "== tests (release build)"
run_suite release
echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer"
run_suite asan-ubsan
echo "== tests under ThreadSanitizer"
run_suite tsan
echo "== all test suites passed"
