#!/usr/bin/env bash
# Whole-process timings of `vpreturn --hand` (all 32 holds of one dealt hand,
# exact, set-up of the odds included) on a few hands, with peak memory.
# Usage: bench/vpreturn_hand.sh [RUNS]   (medians of RUNS runs, 11 by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRISVALE_BUILD_DIR:-$root/build}
runs=${1:-11}
vpreturn="$build/tools/vpreturn/vpreturn"
[ -x "$vpreturn" ] || cmake --build "$build" --target vpreturn >/dev/null
work="$build/bench-files"
mkdir -p "$work"
cd "$work"
source "$root/bench/lib.sh"

printf '%-18s %9s %9s %11s\n' hand median slowest "peak"
for hand in "TC TD JS QH KD" "JS JH 4S 8S 2S" "TH JH QH KH KS" "2C 7D 9H JS KC"; do
  : >runs.txt
  for _ in $(seq "$runs"); do
    measure "$vpreturn" --hand "$hand" 0 1 2 3 5 8 24 49 799 >>runs.txt
  done
  printf '%-18s %8ss %8ss %9sKB\n' "$hand" "$(cut -d' ' -f1 runs.txt | median)" \
    "$(cut -d' ' -f1 runs.txt | sort -n | tail -1)" "$(cut -d' ' -f2 runs.txt | median)"
done
