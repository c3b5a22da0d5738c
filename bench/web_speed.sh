#!/usr/bin/env bash
# The page against the native program (bench/web_speed.js): a level-4 search
# generation, the main thread's long tasks under 观看, the site's size.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/web.sh --build-only
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$(nproc)" --target korvane-cli
tests/web/node_modules.sh build/web-bench
NODE_PATH="$PWD/build/web-bench/node_modules" exec node bench/web_speed.js build-web/site build/cli/korvane-cli
