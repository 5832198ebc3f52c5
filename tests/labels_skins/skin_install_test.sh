#!/bin/sh
# An installed Ostrel finds its skins beside itself: install into a temporary prefix, check
# the tree, and check that the launcher starts the program from the program's own folder.
set -eu
cmake="$1"
build="$2"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null || fail "install failed"

program="$prefix/lib/ostrel/Ostrel"
[ -f "$program" ] && [ -x "$program" ] || fail "no executable program at $program"
[ -f "$prefix/bin/ostrel" ] && [ -x "$prefix/bin/ostrel" ] || fail "no launcher at bin/ostrel"

skins="$prefix/lib/ostrel/skins"
for f in iTunes.SKN mxskin20.skn mxskin15.skn mxskin60.skn mxskin24.skn mxskin28.skn \
         mxskin29.SKN mxskin30.skn mxskin35.skn mxskin40.skn mxskin47.skn mxskin56.skn \
         mxskin59.skn mxskin67.skn; do
  [ -f "$skins/$f" ] || fail "skin $f not installed"
  head -n 1 "$skins/$f" | grep -q '^OstrelSkin 1' || fail "skin $f is not a skin file"
done
count=$(find "$skins" -type f | wc -l)
[ "$count" -eq 14 ] || fail "expected 14 skins, found $count"

# The launcher must run the program in its folder (the skins and the manual are looked up
# there) and pass the arguments on; a stand-in program reports where it runs.
cat > "$program" <<'STUB'
#!/bin/sh
echo "$(pwd -P) $*"
STUB
chmod +x "$program"
expected="$(cd "$prefix/lib/ostrel" && pwd -P) a b"
got=$(cd / && "$prefix/bin/ostrel" a b) || fail "launcher failed"
[ "$got" = "$expected" ] || fail "launcher ran '$got', expected '$expected'"
# Through a symbolic link too, as from a desktop's own bin folder.
ln -s "$prefix/bin/ostrel" "$prefix/ostrel-link"
got=$(cd / && "$prefix/ostrel-link" a b) || fail "launcher via link failed"
[ "$got" = "$expected" ] || fail "launcher via link ran '$got', expected '$expected'"
echo "installed tree OK"
