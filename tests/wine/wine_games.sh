#!/usr/bin/env bash
# Runs whole games of the x86_64 build under Wine: readies the shared Wine prefix
# (its COM1 is <prefix>/com1) and a bare 1024 x 768 X server, then runs the test
# program's cases named by FILTER in them. With SIDES 2 (two Tovarins against each
# other) it readies a second prefix and X server for the other side as well,
# named to the test program by PARTNER_WINEPREFIX and PARTNER_DISPLAY; that match
# runs only under make e2e, which sets TOVARIN_E2E.
#   wine_games.sh TEST-PROGRAM FILTER WIN64_BUILD_DIR NATIVE_BUILD_DIR SOURCE_DIR [SIDES]
# Exit 77 (skipped) when there is no x86_64 build.
set -u
program=$1
filter=$2
win64=${3:-}
build=$4
source=$5
sides=${6:-1}
if [ -z "$win64" ] || [ ! -f "$win64/tovarin/shell/tovarin.exe" ]; then
  echo "no x86_64 build with tovarin.exe in '${win64}': skipped"
  exit 77
fi
if [ "$sides" = 2 ] && [ -z "${TOVARIN_E2E:-}" ]; then
  echo "two Tovarins play only with TOVARIN_E2E set (make e2e): skipped"
  exit 77
fi

. "$source/scripts/wine-env.sh"
export LC_ALL=ja_JP.UTF-8 WINE
trap wine_env_stop EXIT
trap 'exit 1' INT TERM HUP
if [ "$sides" = 2 ]; then
  wine_prefix "$build/wineprefix-partner" || { echo "FAILED: the second Wine prefix could not be made"; exit 1; }
  xvfb_start 1024x768 || { echo "FAILED: no X server"; exit 1; }
  export PARTNER_WINEPREFIX=$WINEPREFIX PARTNER_DISPLAY=$DISPLAY
fi
wine_prefix "$build/wineprefix" || { echo "FAILED: the Wine prefix could not be made"; exit 1; }
xvfb_start 1024x768 || { echo "FAILED: no X server"; exit 1; }
"$program" --gtest_filter="$filter"
