#!/usr/bin/env bash
# Packs the Windows deliverable of one MinGW build folder into a zip that unpacks
# to the folder Tovarin/: tovarin.exe, duelcom.dll, the partner programs
# duelcom-gtp.exe and duelcom-engine.exe (self-contained: the link library is
# built into them), the
# pictures in bmp/ and the README, the latter in the ANSI code page of Japanese
# Windows (932) with CR LF line ends, as Notepad of that system reads it.
#   dist.sh BUILD_DIR OUT.zip
set -euo pipefail
build=$1
out=$2
source=$(cd "$(dirname "$0")/.." && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/Tovarin/bmp"
cp "$build/tovarin/shell/tovarin.exe" "$build/duelcom/duelcom.dll" "$build/gtp/duelcom-gtp.exe" \
  "$build/gtp/duelcom-engine.exe" "$stage/Tovarin/"
cp "$source"/bmp/*.bmp "$stage/Tovarin/bmp/"
iconv -f UTF-8 -t CP932 "$source/dist/README.txt" | sed 's/$/\r/' >"$stage/Tovarin/README.txt"
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
rm -f "$out"
(cd "$stage" && zip -qrX "$out" Tovarin)
echo "$out"
