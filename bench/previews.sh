#!/usr/bin/env bash
# Whole-process timings of making 60 x 50 previews of a folder of photographs:
# mkpreviews (Automatic resolution, for speed, data file written) side by side
# with the reference C thumbnailer (thumbref -s 60x50) and vipsthumbnail, on
# the same folder, medians of several runs, with peak memory.
#
# Usage: bench/previews.sh [RUNS]   (medians of RUNS runs, 7 by default)
# PERF_DIR: the folder holding thumbref.c and make-perfset.sh
#           (default: ../shared/perf relative to the repository root).
# PERF_SET: where the set of 40 pictures is built (default: build/bench-previews/set).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRISVALE_BUILD_DIR:-$root/build}
runs=${1:-7}
perf=${PERF_DIR:-$root/../shared/perf}
work="$build/bench-previews"
set_dir=${PERF_SET:-$work/set}
mkpreviews="$build/tools/mkpreviews/mkpreviews"
[ -x "$mkpreviews" ] || cmake --build "$build" --target mkpreviews >/dev/null
command -v vipsthumbnail >/dev/null || { echo "vipsthumbnail missing (Debian: libvips-tools)" >&2; exit 1; }
mkdir -p "$work"
cd "$work"

if [ ! -x thumbref ] || [ "$perf/thumbref.c" -nt thumbref ]; then
  gcc -O2 -o thumbref "$perf/thumbref.c" -ljpeg -lpng -lgif -ltiff -lpthread
fi
if [ ! -d "$set_dir" ] || [ "$(ls "$set_dir" | wc -l)" -lt 40 ]; then
  sh "$perf/make-perfset.sh" "$set_dir"
fi

# Each tool works on its own copy, so the previews and the data file of one
# never meet another's.
rm -rf ours jpegs out vout
mkdir -p ours jpegs out vout
cp "$set_dir"/* ours/
cp "$set_dir"/*.jpg jpegs/

# One run: prints "seconds peak-kilobytes" (wall time to the millisecond).
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%M' -o time.txt "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  echo "$(echo "($end - $start) / 1000000000" | bc -l | cut -c1-6) $(cat time.txt)"
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

printf '%-34s %9s %9s %8s %11s %11s\n' case ours peer ratio "our peak" "peer peak"
compare() {
  local name=$1 ours=$2 peer=$3
  : >ours.txt
  : >peer.txt
  for _ in $(seq "$runs"); do
    measure bash -c "$ours" >>ours.txt
    measure bash -c "$peer" >>peer.txt
  done
  local ot pt om pm
  ot=$(cut -d' ' -f1 ours.txt | median)
  pt=$(cut -d' ' -f1 peer.txt | median)
  om=$(cut -d' ' -f2 ours.txt | median)
  pm=$(cut -d' ' -f2 peer.txt | median)
  printf '%-34s %8ss %8ss %8.3f %9sKB %9sKB\n' "$name" "$ot" "$pt" "$(echo "$ot / $pt" | bc -l)" "$om" "$pm"
}

all=$(ls "$set_dir" | sed 's|^|'"$set_dir"'/|' | tr '\n' ' ')
jpgs=$(ls "$set_dir"/*.jpg | tr '\n' ' ')
compare "40 files vs thumbref" "rm -f ours/*.THB ours/thumbs.dat; '$mkpreviews' ours" "./thumbref -s 60x50 -o out $all"
compare "20 JPEGs vs thumbref" "rm -f jpegs/*.THB jpegs/thumbs.dat; '$mkpreviews' jpegs" "./thumbref -s 60x50 -o out $jpgs"
# vipsthumbnail on one thread, as the reference.
compare "40 files vs vipsthumbnail" "rm -f ours/*.THB ours/thumbs.dat; '$mkpreviews' ours" \
  "VIPS_CONCURRENCY=1 vipsthumbnail -s 60x50 -o '$work/vout/%s.jpg' $all"
