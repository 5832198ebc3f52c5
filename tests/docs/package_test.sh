#!/usr/bin/env bash
# The Debian package: built from the build tree with CPack, it holds the program, its skins,
# its manual, the launcher, the menu entry and the icon; its menu entry is valid and apt can
# resolve its dependencies. Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work" >/dev/null) || fail "cpack could not build the package"
deb=$(ls "$work"/ostrel_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no ostrel_*.deb"

files=$(dpkg-deb -c "$deb" | awk '{ $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }')
for f in ./usr/bin/ostrel ./usr/lib/ostrel/Ostrel "./usr/lib/ostrel/24 Channel Multi Ostrel.pdf" \
         ./usr/lib/ostrel/skins/iTunes.SKN ./usr/share/applications/ostrel.desktop \
         ./usr/share/icons/hicolor/scalable/apps/ostrel.svg \
         ./usr/share/icons/hicolor/48x48/apps/ostrel.png ./usr/share/icons/hicolor/256x256/apps/ostrel.png; do
  grep -qxF "$f" <<<"$files" || fail "the package lacks $f"
done
skins=$(grep -c '^\./usr/lib/ostrel/skins/.' <<<"$files" || true)
[ "$skins" = 14 ] || fail "$skins skins in the package instead of 14"

depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libportaudio2 libsndfile1 libsqlite3-0; do
  grep -q "$d" <<<"$depends" || fail "Depends lacks $d: $depends"
done

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/ostrel.desktop" ||
  fail "the menu entry is not valid"
apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt cannot resolve the package's dependencies"; }
echo "package: $(basename "$deb"), $skins skins, depends: $depends"
