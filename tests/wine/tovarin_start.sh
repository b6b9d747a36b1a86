#!/usr/bin/env bash
# Packs the x86_64 build as the release zip is packed, unpacks it, starts its
# tovarin.exe under Wine on a bare 1024 x 768 X server from the unpacked folder,
# and checks its first screen: the main window in the top right corner, the
# information window in the bottom left one, both painted, and the registry files
# created empty beside the program. Leaves a screenshot.
#   tovarin_start.sh WIN64_BUILD_DIR NATIVE_BUILD_DIR SOURCE_DIR
# Exit 77 (skipped) when there is no x86_64 build.
set -u
win64=${1:-}
build=$2
source=$3
exe="$win64/tovarin/shell/tovarin.exe"
if [ -z "$win64" ] || [ ! -f "$exe" ]; then
  echo "no x86_64 build with tovarin.exe in '${win64}': skipped"
  exit 77
fi

. "$source/scripts/wine-env.sh"
export LC_ALL=ja_JP.UTF-8
shot="$build/wine-tovarin-start.png"
work=$(mktemp -d)
pid=
finish() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  wine_env_stop
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM HUP
fail() {
  echo "FAILED: $*"
  if [ -s "$work/wine.log" ]; then
    echo "--- the program's output:"
    tail -n 40 "$work/wine.log"
  fi
  exit 1
}

started=$(date +%s%N)
wine_prefix "$build/wineprefix" || fail "the Wine prefix could not be made"
xvfb_start 1024x768 || fail "no X server"
bash "$source/scripts/dist.sh" "$win64" "$work/Tovarin.zip" >/dev/null || fail "no zip"
(cd "$work" && unzip -q Tovarin.zip) || fail "the zip does not unpack"
listing=$(cd "$work" && find Tovarin | LC_ALL=C sort | tr '\n' ' ')
expected="Tovarin Tovarin/README.txt Tovarin/bmp Tovarin/bmp/MyTovarin.bmp Tovarin/bmp/PlimGoBan.bmp \
Tovarin/bmp/PlimGoStone.bmp Tovarin/bmp/sswaku.bmp Tovarin/duelcom-engine.exe Tovarin/duelcom-gtp.exe \
Tovarin/duelcom.dll Tovarin/tovarin.exe "
[ "$listing" = "$expected" ] || fail "the zip holds: $listing"
# The README is for Japanese Windows: code page 932, CR LF.
iconv -f CP932 -t UTF-8 "$work/Tovarin/README.txt" | grep -q '囲碁通信代理 Tovarin' ||
  fail "README.txt is not Japanese text in code page 932"
[ "$(grep -c $'\r$' "$work/Tovarin/README.txt")" = "$(wc -l <"$work/Tovarin/README.txt")" ] ||
  fail "README.txt has lines without CR LF"
(cd "$work/Tovarin" && exec "$WINE" tovarin.exe) >"$work/wine.log" 2>&1 &
pid=$!

main_title=' 囲碁通信代理 Tovarin'
info_title=' Tovarin  情報ウインドウ  '
main= info=
for _ in $(seq 1 600); do
  main=$(xdotool search --name "^${main_title}\$" 2>/dev/null | head -n1)
  info=$(xdotool search --name "^${info_title}\$" 2>/dev/null | head -n1)
  [ -n "$main" ] && [ -n "$info" ] && break
  kill -0 "$pid" 2>/dev/null || fail "tovarin.exe ended before its windows appeared"
  sleep 0.1
done
[ -n "$main" ] || fail "no window titled '$main_title' within 60 s"
[ -n "$info" ] || fail "no window titled '$info_title' within 60 s"
# The first timer tick (after one second) lists the registry in the log.
sleep 2
kill -0 "$pid" 2>/dev/null || fail "tovarin.exe ended"
import -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"

errors=0
check() {  # check DESCRIPTION ACTUAL EXPECTED
  if [ "$2" = "$3" ]; then
    echo "ok: $1 = $3"
  else
    echo "WRONG: $1 = $2, expected $3"
    errors=$((errors + 1))
  fi
}

# With Decorated=N and no window manager an X window is the Windows outer rectangle.
eval "$(xdotool getwindowgeometry --shell "$main" | sed 's/^/M_/')"
eval "$(xdotool getwindowgeometry --shell "$info" | sed 's/^/I_/')"
check "main window right edge" $((M_X + M_WIDTH)) 1024
check "main window top" "$M_Y" 0
check "information window left" "$I_X" 0
check "information window bottom" $((I_Y + I_HEIGHT)) 768

# Colours, read from the screenshot. The main window's client area is 274 x 201;
# its frame is as wide at the bottom as at the sides.
pixel() { convert "$shot" -format '%[hex:u.p{'"$1,$2"'}]' info: 2>/dev/null; }
picture_pixel() { convert "$1" -format '%[hex:u.p{'"$2,$3"'}]' info: 2>/dev/null; }
side=$(((M_WIDTH - 274) / 2))
top=$((M_HEIGHT - 201 - side))
client() { pixel $((M_X + side + $1)) $((M_Y + top + $2)); }
check "main window background right of the board" "$(client 272 100)" 008080
check "main window background below the board" "$(client 150 198)" 008080
board="$source/bmp/PlimGoBan.bmp"
for uv in "0 0" "5 5" "95 95" "100 3" "190 190"; do
  set -- $uv
  check "board picture pixel ($1, $2)" "$(client $((79 + $1)) $((4 + $2)))" "$(picture_pixel "$board" "$1" "$2")"
done
check "log background" "$(pixel $((I_X + I_WIDTH - 60)) $((I_Y + I_HEIGHT / 2)))" 000080

# The first tick created the registry files in the empty folder: no program is
# registered, and the count has no line end.
check "count file" "$(od -An -c "$work/Tovarin/tourokusuu.txt" 2>/dev/null | tr -d ' ')" 0
check "list file size" "$(stat -c %s "$work/Tovarin/touroku.txt" 2>/dev/null)" 0

elapsed=$((($(date +%s%N) - started) / 1000000))
echo "time: $((elapsed / 1000)).$((elapsed % 1000 / 100)) s"
[ "$errors" -eq 0 ] || fail "$errors checks failed"
echo "passed"
