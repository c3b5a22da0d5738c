#!/usr/bin/env bash
# Builds and runs every test: a normal build, then the same suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, then under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

echo "== tests (release build)"
run_suite build
echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DKORVANE_SANITIZE=address,undefined -DKORVANE_BENCH=OFF
echo "== tests under ThreadSanitizer"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  run_suite build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_SANITIZE=thread -DKORVANE_BENCH=OFF
echo "== all test suites passed"
