#!/usr/bin/env bash
# Builds the Debian package korvane_<version>_amd64.deb in the repository's
# root: installs what is missing, makes the release build, then CPack packs
# what `cmake --install` installs (dist/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j"$(nproc)"
rm -rf build/package
cpack --config build/CPackConfig.cmake -B build/package
deb=$(basename build/package/korvane_*_amd64.deb)
mv "build/package/$deb" .
echo "$deb"
