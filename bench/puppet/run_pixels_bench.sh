#!/usr/bin/env bash
# Runs bench_puppet_pixels.exe of the x86_64 build under Wine on a bare 1024 x 768
# X server, with a Wine prefix of its own in the native build folder, from the
# source folder (Tovarin's main window loads the pictures in bmp/):
#   bench/puppet/run_pixels_bench.sh build/win64 build/release
set -u
win64=${1:?x86_64 build folder}
build=${2:?native build folder, for the Wine prefix}
source=$(cd "$(dirname "$0")/../.." && pwd)
exe="$(cd "$win64" 2>/dev/null && pwd)/bench/bench_puppet_pixels.exe"
[ -f "$exe" ] || { echo "no $win64/bench/bench_puppet_pixels.exe"; exit 1; }
. "$source/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_prefix "$build/wineprefix-bench" || { echo "the Wine prefix could not be made"; exit 1; }
xvfb_start 1024x768 || { echo "no X server"; exit 1; }
cd "$source" && timeout 300 "$WINE" "$exe"
