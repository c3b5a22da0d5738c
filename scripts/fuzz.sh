#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz (the fuzz preset of
# CMakePresets.json) and runs each one for a bounded time, then prints
# executions and findings per target.
# usage: scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
jobs=${JOBS:-$(nproc)}
build=build-fuzz
targets=(map_reader weights_reader plan_reader)

scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"

mkdir -p "$build/artifacts"
failed=0
for t in "${targets[@]}"; do
  # New inputs go to the build tree; the seeds in fuzz/corpus stay as they are.
  work="$build/corpus/$t"
  mkdir -p "$work"
  log="$build/fuzz_$t.log"
  echo "== fuzz_$t for ${seconds}s"
  status=0
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -dict="fuzz/$t.dict" \
    -artifact_prefix="$build/artifacts/$t-" "$work" "fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  echo "   executions: ${execs:-?}, corpus now $(ls "$work" | wc -l) inputs, exit status $status"
  if [ "$status" -ne 0 ]; then
    failed=1
    grep -E "^(==[0-9]+==|SUMMARY|.*runtime error)" "$log" | head -20 || true
    ls "$build/artifacts" | sed 's/^/   finding: /'
  fi
done
[ "$failed" -eq 0 ] && echo "== no findings" || { echo "== findings above; logs in $build"; exit 1; }
