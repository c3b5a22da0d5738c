#!/usr/bin/env bash
# Builds Korvane and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$(nproc)" --target korvane
exec build/app/korvane "$@"
