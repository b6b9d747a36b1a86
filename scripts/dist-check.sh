#!/usr/bin/env bash
# Checks the release zip that dist.sh packed: it unpacks to exactly the files of
# the deliverable, its README is code page 932 with CR LF line ends, no program
# or library in it needs a DLL beyond Windows' own (tovarin.exe loads duelcom.dll
# at run time; duelcom-gtp.exe and duelcom-engine.exe carry the link library),
# and duelcom-gtp.exe, started under Wine from the unpacked folder with no
# argument, and duelcom-engine.exe with --help, print their usage and exit with
# status 2. They are console programs: no X server is needed.
#   dist-check.sh ZIP [WIN64_BUILD_DIR]
# A Wine without its 32-bit half (no i386 ntdll.dll) runs no 32-bit program: the
# 32-bit duelcom-gtp.exe then starts and ends with status 0 and no output. In that
# case the x86_64 build of the same sources, packed the same way, stands in for the
# usage check, and the script says so. The Wine prefix is wineprefix-dist beside
# the zip, made on the first run.
set -u
zip=$1
win64=${2:-}
source=$(cd "$(dirname "$0")/.." && pwd)
. "$source/scripts/wine-env.sh"
work=$(mktemp -d)
finish() {
  wine_env_stop
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "dist-check: FAILED: $*" >&2
  exit 1
}

# unpack ZIP FOLDER: unpacks ZIP into FOLDER and checks what it holds.
unpack() {
  mkdir -p "$2"
  unzip -q "$1" -d "$2" || fail "$1 does not unpack"
  local listing expected
  listing=$(cd "$2" && find Tovarin | LC_ALL=C sort | tr '\n' ' ')
  expected="Tovarin Tovarin/README.txt Tovarin/bmp Tovarin/bmp/MyTovarin.bmp \
Tovarin/bmp/PlimGoBan.bmp Tovarin/bmp/PlimGoStone.bmp Tovarin/bmp/sswaku.bmp \
Tovarin/duelcom-engine.exe Tovarin/duelcom-gtp.exe Tovarin/duelcom.dll Tovarin/tovarin.exe "
  [ "$listing" = "$expected" ] || fail "$1 holds: $listing"
}

unpack "$zip" "$work/zip"
folder="$work/zip/Tovarin"
(cd "$work/zip" && find Tovarin -type f | LC_ALL=C sort | xargs ls -l |
  awk '{print "  " $5 "\t" $9}')

iconv -f CP932 -t UTF-8 "$folder/README.txt" >"$work/README.utf8" ||
  fail "README.txt is not in code page 932"
grep -q '囲碁通信代理 Tovarin' "$work/README.utf8" || fail "README.txt is not the Japanese text"
grep -q 'duelcom-gtp\.exe --port COM' "$work/README.utf8" ||
  fail "README.txt does not tell how to start duelcom-gtp.exe"
grep -q 'duelcom-engine\.exe --port COM' "$work/README.utf8" ||
  fail "README.txt does not tell how to point a GTP controller at duelcom-engine.exe"
[ "$(grep -c $'\r$' "$folder/README.txt")" = "$(wc -l <"$folder/README.txt")" ] ||
  fail "README.txt has lines without CR LF"

for file in tovarin.exe duelcom.dll duelcom-gtp.exe duelcom-engine.exe; do
  format=$(objdump -f "$folder/$file" | sed -n 's/.*file format //p')
  [ "$format" = pei-i386 ] || fail "$file is $format, not a 32-bit Windows file"
  for dll in $(objdump -p "$folder/$file" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    case "${dll,,}" in
      kernel32.dll | user32.dll | gdi32.dll | comdlg32.dll | shell32.dll | advapi32.dll | msvcrt.dll) ;;
      *) fail "$file needs $dll, which Windows does not have" ;;
    esac
  done
done

wine32=no
for dll in /usr/lib/wine/i386-windows/ntdll.dll /usr/lib/*/wine/i386-windows/ntdll.dll; do
  [ -f "$dll" ] && wine32=yes
done
if [ "$wine32" = no ]; then
  [ -f "$win64/gtp/duelcom-gtp.exe" ] ||
    fail "this Wine runs no 32-bit program and there is no x86_64 build to stand in ('$win64')"
  echo "dist-check: this Wine runs no 32-bit program; the x86_64 build stands in for" \
    "the run of duelcom-gtp.exe"
  bash "$source/scripts/dist.sh" "$win64" "$work/x86_64.zip" >/dev/null || fail "no x86_64 zip"
  unpack "$work/x86_64.zip" "$work/x86_64"
  folder="$work/x86_64/Tovarin"
fi

wine_prefix "$(dirname "$zip")/wineprefix-dist" || fail "the Wine prefix could not be made"
status=0
(cd "$folder" && DISPLAY= timeout 60 "$WINE" duelcom-gtp.exe) >"$work/stdout" 2>"$work/stderr" ||
  status=$?
tr -d '\r' <"$work/stderr" >"$work/usage"
echo "dist-check: duelcom-gtp.exe ($(objdump -f "$folder/duelcom-gtp.exe" |
  sed -n 's/.*file format //p')) under Wine with no argument: exit status $status"
sed 's/^/  /' "$work/usage"
[ "$status" = 2 ] || fail "duelcom-gtp.exe exited with status $status, not 2"
[ ! -s "$work/stdout" ] || fail "duelcom-gtp.exe wrote to standard output: $(head -c 200 "$work/stdout")"
head -n1 "$work/usage" | grep -q '^usage: duelcom-gtp \[--port PORT\]' ||
  fail "duelcom-gtp.exe printed no usage"
grep -q '^Exit status: 0 every game' "$work/usage" || fail "the usage is cut short"
status=0
(cd "$folder" && DISPLAY= timeout 60 "$WINE" duelcom-engine.exe --help) >"$work/stdout" \
  2>"$work/stderr" || status=$?
echo "dist-check: duelcom-engine.exe --help under Wine: exit status $status"
[ "$status" = 2 ] || fail "duelcom-engine.exe --help exited with status $status, not 2"
tr -d '\r' <"$work/stderr" | head -n1 | grep -q '^usage: duelcom-engine \[--port PORT\]' ||
  fail "duelcom-engine.exe printed no usage"
echo "dist-check: passed"
