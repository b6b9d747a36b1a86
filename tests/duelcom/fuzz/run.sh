#!/bin/sh
# Builds the protocol engine's fuzz target with clang and libFuzzer and runs it
# for a bounded time.   run.sh [BUILD-DIR] [SECONDS]
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${1:-$root/build/fuzz}
seconds=${2:-20}
mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" "$root/duelcom/engine.cpp" "$here/engine_fuzz.cpp" -o "$out/duelcom_engine_fuzz"
# Seeds: our NEWGAME answered with an OK; a white start with NEWGAME, two ANSWERs and a MOVE.
printf '\101\002\210\207\377\160' >"$out/corpus/seed-black"
printf '\102\001\241\240\200\000\270\300\201\003\270\300\201\001\302\320\275\140' >"$out/corpus/seed-white"
"$out/duelcom_engine_fuzz" -max_total_time="$seconds" -print_final_stats=1 "$out/corpus" \
  >"$out/fuzz.log" 2>&1 || { tail -40 "$out/fuzz.log"; exit 1; }
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/fuzz.log")
echo "duelcom engine fuzz: $runs runs in $seconds s ($((runs / seconds)) execs/s), no failure"
