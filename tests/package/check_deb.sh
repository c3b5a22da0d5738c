#!/usr/bin/env bash
# Builds the Debian package from a release build tree, unpacks it into a
# temporary root and checks what a user would get: the file list, both
# programs running from it, the desktop entry, the metainfo, the manual
# pages and lintian's verdict. Never installs anything into the machine.
#   check_deb.sh BUILD_DIR VERSION [SANITIZERS]
set -euo pipefail
build=$1 version=$2 sanitize=${3:-}
if [ -n "$sanitize" ]; then
  echo "skipped: the package is made from the release build, not one built with -fsanitize=$sanitize"
  exit 77
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# man drops root's rights to read the pages; let it in.
chmod 755 "$tmp"
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$tmp/out/korvane_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$tmp/out" | tr "\n" " ")"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in "fonts-arphic-uming | fonts-wqy-zenhei" libqt6widgets6 libc6; do
  [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

root=$tmp/root
dpkg-deb -x "$deb" "$root"
icon=org.korvane.Korvane
expected=(
  usr/bin/korvane usr/bin/korvane-cli
  usr/share/applications/$icon.desktop
  usr/share/doc/korvane/changelog.gz usr/share/doc/korvane/copyright
  usr/share/icons/hicolor/scalable/apps/$icon.svg
  usr/share/man/man1/korvane-cli.1.gz usr/share/man/man1/korvane.1.gz
  usr/share/metainfo/$icon.metainfo.xml
)
for size in 16 22 24 32 48 64 128 256; do expected+=("usr/share/icons/hicolor/${size}x$size/apps/$icon.png"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -type f -printf '%P\n' | sort) ||
  fail "the package's files differ from the list (< expected, > packed)"

# The stripped programs run, and fly exactly as the build's own.
bin=$root/usr/bin
[ "$("$bin/korvane-cli" --version | head -n 1)" = "korvane-cli $version" ] || fail "korvane-cli --version"
[ "$("$bin/korvane" --version | head -n 1)" = "korvane $version" ] || fail "korvane --version"
run=(ga --level 2 --seed 7 --set MaxGenerations=3 --set PopulationSize=40 --quiet)
"$bin/korvane-cli" "${run[@]}" >"$tmp/packed.json" || fail "korvane-cli ga"
"$build/cli/korvane-cli" "${run[@]}" >"$tmp/built.json"
grep -q '"generations"' "$tmp/packed.json" || fail "korvane-cli ga printed no generations"
cmp -s "$tmp/packed.json" "$tmp/built.json" || fail "the packed korvane-cli flies otherwise than the build's"

desktop-file-validate "$root/usr/share/applications/$icon.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$icon.metainfo.xml" || fail "appstreamcli validate"
# The metainfo, its desktop entry and its icon, as a software centre finds them.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
[ "$(gzip -dc "$root/usr/share/doc/korvane/changelog.gz" | dpkg-parsechangelog -l- -S Version)" = "$version" ] ||
  fail "the changelog's newest entry is not $version"

for page in korvane-cli korvane; do
  MANWIDTH=100 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" >"$tmp/$page.txt" 2>"$tmp/man.err" ||
    fail "man -l $page.1.gz"
  [ ! -s "$tmp/man.err" ] || { cat "$tmp/man.err"; fail "man -l $page.1.gz warns"; }
  grep -qF "$page $version" "$tmp/$page.txt" || fail "$page.1 does not name version $version"
done
# Each command has its section, with its options.
for want in COMMANDS "   ga" "   fly-plan" "   report" "--weights-out FILE" "--vary Name=v1,v2" EXAMPLES; do
  grep -qF -- "$want" "$tmp/korvane-cli.txt" || fail "korvane-cli.1 lacks '$want'"
done

lintian --fail-on error --display-info "$deb" || fail "lintian found errors"
echo "package $(basename "$deb") checked"
