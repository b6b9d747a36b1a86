#!/usr/bin/env bash
# Plays games on a cable that damages bytes, side by side, with a link library
# against GNU Go and against a second copy of itself, at several rates, and
# prints per rate and partner how many games both sides finished with equal
# records, the median time of a game, and the damaged packets the checksum let
# through:
#   bench/duelcom/run_line_sweep.sh build/release/bench/bench_line build/release/duelcom/libduelcom.so [GAMES] [JOBS]
set -u
bench=${1:?bench_line}
library=${2:?libduelcom.so}
games=${3:-10}
jobs=${4:-6}
for rate in 0 0.5 2 5; do
  for partner in gnugo copy; do
    for seed in $(seq 1 "$games"); do
      colour=black; [ $((seed % 2)) -eq 0 ] && colour=white
      echo "$rate $seed $partner $colour"
    done
  done
done | xargs -P "$jobs" -L 1 sh -c 'timeout 900 "$0" "$1" "$2" "$3" "$4" "$5" || echo "rate=$2 seed=$3 partner=$4 ours=$5 agreed=0 equal=0 seconds=900 passed=0"' "$bench" "$library" |
  awk '
    { for (i = 1; i <= NF; ++i) { split($i, kv, "="); v[kv[1]] = kv[2] }
      k = v["rate"] " " v["partner"]; n[k]++; eq[k] += v["equal"]; ag[k] += v["agreed"];
      pass[k] += v["passed"]; t[k] = t[k] " " v["seconds"] }
    END {
      printf "%-6s %-7s %-14s %-15s %-12s %s\n", "rate%", "partner", "equal/played", "agreed/played", "median s", "damage passed"
      for (k in n) {
        split(k, kk, " "); m = split(t[k], ts, " "); asort(ts)
        printf "%-6s %-7s %-14s %-15s %-12s %d\n", kk[1], kk[2], eq[k] "/" n[k], ag[k] "/" n[k], ts[int((m + 1) / 2)], pass[k]
      }
    }' | sort -n
