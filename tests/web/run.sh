#!/usr/bin/env bash
# The browser build's test: builds the site (scripts/web.sh --build-only),
# compares the page's engine under node with korvane-cli, then drives the page
# in headless Chromium.
# Usage: run.sh KORVANE_CLI WORK_DIR [SANITIZERS]
set -euo pipefail
cli=$1
work=$2
if [ -n "${3:-}" ]; then
  # The page is the same WebAssembly whatever the native build; the release
  # build's suite runs it.
  echo "skipped under the sanitizers ($3)"
  exit 77
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
"$root/scripts/web.sh" --build-only
site="$root/build-web/site"

echo "== the page's engine under node against korvane-cli"
node "$here/same_numbers.js" "$site" "$cli"

echo "== the page in headless Chromium"
"$here/node_modules.sh" "$work"
NODE_PATH="$work/node_modules" node "$here/browser_test.js" "$site" "$cli" "$work/shots"
