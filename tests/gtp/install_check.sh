#!/usr/bin/env bash
# Installs the build into an empty prefix and checks the tree: bin/duelcom-gtp,
# bin/duelcom-engine, lib/libduelcom.so and include/duelcom.h, nothing more. The
# installed duelcom-gtp, run with no argument and --help, must print its usage
# and exit with status 2 from the prefix alone (no library of the build tree on
# its path); duelcom-engine with --help likewise.
#   install_check.sh BUILD_DIR [CMAKE]
set -u
build=$1
cmake=${2:-cmake}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*"
  exit 1
}
prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  fail "cmake --install: $(cat "$work/install.log")"
listing=$(cd "$prefix" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ')
expected="./bin ./bin/duelcom-engine ./bin/duelcom-gtp ./include ./include/duelcom.h ./lib ./lib/libduelcom.so "
[ "$listing" = "$expected" ] || fail "the install tree holds: $listing"
for args in "" --help; do
  status=0
  (cd "$work" && env -u LD_LIBRARY_PATH "$prefix/bin/duelcom-gtp" $args) >"$work/out" 2>"$work/err" ||
    status=$?
  [ "$status" = 2 ] || fail "duelcom-gtp $args: exit status $status: $(head -n 5 "$work/err")"
  head -n1 "$work/err" | grep -q '^usage: duelcom-gtp ' || fail "duelcom-gtp $args: no usage"
done
status=0
(cd "$work" && env -u LD_LIBRARY_PATH "$prefix/bin/duelcom-engine" --help) >"$work/out" 2>"$work/err" ||
  status=$?
[ "$status" = 2 ] || fail "duelcom-engine --help: exit status $status: $(head -n 5 "$work/err")"
head -n1 "$work/err" | grep -q '^usage: duelcom-engine ' || fail "duelcom-engine --help: no usage"
echo "passed: $listing"
