#!/usr/bin/env bash
# Runs platform_check.exe of the x86_64 build under Wine on a bare 1024 x 768 X
# server: from a folder of its own with the probe library beside it, in a working
# folder that holds a duelcom.dll the loader must not take, with code page 932 and
# the Tokyo time zone. Then its library checks once more from a folder with a
# Hangul name, which code page 932 cannot hold.
#   platform_check.sh WIN64_BUILD_DIR NATIVE_BUILD_DIR SOURCE_DIR
# Exit 77 (skipped) when there is no x86_64 build.
set -u
win64=${1:-}
build=$2
source=$3
exe="$win64/tests/wine/platform_check.exe"
probe="$win64/tests/wine/wine_probe.dll"
if [ -z "$win64" ] || [ ! -f "$win64/tovarin/shell/tovarin.exe" ]; then
  echo "no x86_64 build with tovarin.exe in '${win64}': skipped"
  exit 77
fi
for f in "$exe" "$probe"; do
  [ -f "$f" ] || { echo "FAILED: $f is missing from the x86_64 build"; exit 1; }
done

. "$source/scripts/wine-env.sh"
export LC_ALL=ja_JP.UTF-8 TZ=Asia/Tokyo
work=$(mktemp -d)
trap 'wine_env_stop; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM HUP

wine_prefix "$build/wineprefix" || { echo "FAILED: the Wine prefix could not be made"; exit 1; }
xvfb_start 1024x768 || { echo "FAILED: no X server"; exit 1; }
hangul="$work/프로그램"
mkdir -p "$work/program" "$work/run" "$hangul"
cp "$exe" "$probe" "$work/program/"
cp "$exe" "$probe" "$hangul/"
cp "$probe" "$work/run/duelcom.dll"
cd "$work/run" || exit 1
timeout 180 "$WINE" "$work/program/platform_check.exe" || exit 1
timeout 60 "$WINE" "$hangul/platform_check.exe" libraries
