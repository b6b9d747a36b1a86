#!/usr/bin/env bash
# Plays games on a cable that damages bytes, side by side, with a link library
# against GNU Go and against a second copy of itself, at several rates, and
# prints per rate and partner how many games both sides finished with equal
# records, how many were agreed, the median time of a game, and the damaged
# packets the checksum let through:
#   bench/duelcom/run_line_sweep.sh build/release/bench/bench_line build/release/duelcom/libduelcom.so [GAMES] [JOBS]
set -u
bench=${1:?bench_line}
library=${2:?libduelcom.so}
games=${3:-10}
jobs=${4:-6}
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for rate in 0 0.5 2 5; do
  for partner in gnugo copy; do
    for seed in $(seq 1 "$games"); do
      colour=black; [ $((seed % 2)) -eq 0 ] && colour=white
      echo "$rate $seed $partner $colour"
    done
  done
done | xargs -P "$jobs" -L 1 sh -c 'timeout 900 "$0" "$1" "$2" "$3" "$4" "$5" ||
  echo "rate=$2 seed=$3 partner=$4 ours=$5 agreed=0 equal=0 seconds=900 passed=0"' \
  "$bench" "$library" > "$results"
printf '%-6s %-7s %-14s %-15s %-9s %s\n' "rate%" partner equal/played agreed/played "median s" "damage passed"
for rate in 0 0.5 2 5; do
  for partner in gnugo copy; do
    lines=$(grep "^rate=$rate seed=[0-9]* partner=$partner " "$results")
    [ -n "$lines" ] || continue
    n=$(echo "$lines" | wc -l)
    equal=$(echo "$lines" | grep -c ' equal=1 ')
    agreed=$(echo "$lines" | grep -c ' agreed=1 ')
    median=$(echo "$lines" | sed 's/.* seconds=\([0-9.]*\).*/\1/' | sort -n | sed -n "$(((n + 1) / 2))p")
    passed=$(echo "$lines" | sed 's/.* passed=\([0-9]*\).*/\1/' | awk '{ s += $1 } END { print s + 0 }')
    printf '%-6s %-7s %-14s %-15s %-9s %s\n' "$rate" "$partner" "$equal/$n" "$agreed/$n" "$median" "$passed"
  done
done
