#!/bin/sh
# Creates the Wine prefix of the duelcom checks on first use and maps its COM1
# to a fixed path, which each run points at its own pseudo-terminal.
#   wine_prefix.sh PREFIX COM1-PATH
set -e
prefix=$1
com1=$2
export WINEPREFIX="$prefix" WINEDEBUG=-all
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver
[ -f "$prefix/.duelcom-com1" ] && [ "$(cat "$prefix/.duelcom-com1")" = "$com1" ] && exit 0
mkdir -p "$prefix"
$wine wineboot -i >/dev/null 2>&1 || true
$server -w
$wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$com1" /f >/dev/null 2>&1
$server -k 2>/dev/null || true
$server -w
echo "$com1" >"$prefix/.duelcom-com1"
