#!/usr/bin/env bash
# Builds and runs the benchmarks (release build): the engine's, then the
# training flights one by one and in SIMD lanes, alternating the paths.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DKORVANE_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)" --target korvane_bench korvane_bench_lockstep
build/bench/korvane_bench "$@"
exec build/bench/korvane_bench_lockstep --benchmark_enable_random_interleaving=true --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true
