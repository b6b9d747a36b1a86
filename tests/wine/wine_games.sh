#!/usr/bin/env bash
# Runs whole games of the x86_64 build under Wine: readies the shared Wine prefix
# (its COM1 is <prefix>/com1) and a bare 1024 x 768 X server, then runs the test
# program's cases named by FILTER in them.
#   wine_games.sh TEST-PROGRAM FILTER WIN64_BUILD_DIR NATIVE_BUILD_DIR SOURCE_DIR
# Exit 77 (skipped) when there is no x86_64 build.
set -u
program=$1
filter=$2
win64=${3:-}
build=$4
source=$5
if [ -z "$win64" ] || [ ! -f "$win64/tovarin/shell/tovarin.exe" ]; then
  echo "no x86_64 build with tovarin.exe in '${win64}': skipped"
  exit 77
fi

. "$source/scripts/wine-env.sh"
export LC_ALL=ja_JP.UTF-8 WINE
trap wine_env_stop EXIT
trap 'exit 1' INT TERM HUP
wine_prefix "$build/wineprefix" || { echo "FAILED: the Wine prefix could not be made"; exit 1; }
xvfb_start 1024x768 || { echo "FAILED: no X server"; exit 1; }
"$program" --gtest_filter="$filter"
