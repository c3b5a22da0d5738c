#!/usr/bin/env bash
# Installs every Debian package Korvane needs. Quiet and quick when all is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libhwy-dev libmpfr-dev parallel
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev libxcb1-dev qt6-translations-l10n
  qt6-l10n-tools qt6-tools-dev
  fonts-arphic-uming fonts-wqy-zenhei
  xvfb xauth
  # the manual pages, the package and the tools that check them
  help2man gzip file dpkg-dev desktop-file-utils appstream man-db lintian
)

# The browser build and its test, without what they merely recommend; node
# and npm from Debian only where none is installed.
web_packages=(emscripten chromium)
command -v node >/dev/null || web_packages+=(nodejs)
command -v npm >/dev/null || web_packages+=(npm)

missing_from() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t missing < <(missing_from "${packages[@]}")
mapfile -t missing_web < <(missing_from "${web_packages[@]}")
[ ${#missing[@]} -eq 0 ] && [ ${#missing_web[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]} ${missing_web[*]}" >&2
$sudo apt-get update -qq
install() { DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$@" >/dev/null; }
[ ${#missing[@]} -eq 0 ] || install "${missing[@]}"
[ ${#missing_web[@]} -eq 0 ] || install --no-install-recommends "${missing_web[@]}"
