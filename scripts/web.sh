#!/usr/bin/env bash
# Builds Korvane for the browser (Debian's emscripten) into build-web/, writes
# the static site to build-web/site/ and serves it on 127.0.0.1 (PORT, 8026
# by default). --build-only stops after the build.
set -euo pipefail
cd "$(dirname "$0")/.."
build_only=0
[ "${1:-}" = "--build-only" ] && build_only=1
scripts/install-deps.sh

# Emscripten builds its C and C++ libraries into its cache on first use, which
# takes the better part of an hour on two cores; Debian ships them built, so
# our cache under build-web/ starts as links to those and only grows with
# what is missing. Debian's configuration freezes its own cache; ours is not.
export EM_CACHE="$PWD/build-web/em-cache"
export EM_FROZEN_CACHE=""
# Debian's acorn, which emscripten's JavaScript optimizer needs, where any
# node looks for it.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
if [ ! -e "$EM_CACHE/sysroot_install.stamp" ] && [ -d /usr/share/emscripten/cache ]; then
  mkdir -p "$EM_CACHE"
  cp -as /usr/share/emscripten/cache/. "$EM_CACHE/"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build build-web -j"$(nproc)"
echo "site: build-web/site ($(du -sh build-web/site | cut -f1))"
[ "$build_only" = 1 ] && exit 0

port="${PORT:-8026}"
echo "Korvane in the browser: http://127.0.0.1:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
