#!/usr/bin/env bash
# Builds and runs the benchmarks (release build).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DKORVANE_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)" --target korvane_bench
exec build/bench/korvane_bench "$@"
