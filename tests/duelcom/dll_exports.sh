#!/bin/sh
# Checks that a Windows build of the library exports exactly the five
# functions, under their plain names.   dll_exports.sh DLL
# Exit code 77 (skipped) when no Windows build folder was given.
dll=$1
case "$dll" in
  /duelcom/*|"") echo "no Windows build folder given"; exit 77 ;;
esac
[ -f "$dll" ] || { echo "missing: $dll"; exit 1; }
names=$(x86_64-w64-mingw32-objdump -p "$dll" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/ {print $3}' | sort | tr '\n' ' ')
echo "$dll: $names"
[ "$names" = "closecom initcom newgame receivexy sendxy " ]
