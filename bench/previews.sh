#!/usr/bin/env bash
# Whole-process timings of making 60 x 50 previews of a folder of photographs:
# mkpreviews (Automatic resolution, for speed, data file written) side by side
# with the reference C thumbnailer (thumbref -s 60x50, one thread), the whole
# folder and each format alone, wall time and CPU time (user + system) beside
# each other; then against vipsthumbnail, with peak memory. Medians of runs.
#
# Usage: bench/previews.sh [RUNS] [callgrind]   (medians of RUNS runs, 7 by
#        default; with `callgrind`, also the instructions each executes)
# PERF_DIR (required): the folder holding the reference thumbnailer thumbref.c
#           and make-perfset.sh, which builds the set of photographs.
# PERF_SET: where the set of 40 pictures is built (default: build/bench-previews/set).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRISVALE_BUILD_DIR:-$root/build}
runs=${1:-7}
perf=${PERF_DIR:?set PERF_DIR to the folder holding thumbref.c and make-perfset.sh}
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
rm -rf ours out vout
mkdir -p ours out vout
cp "$set_dir"/* ours/

source "$root/bench/lib.sh"
: >results.txt

all=$(ls "$set_dir" | sed 's|^|'"$set_dir"'/|' | tr '\n' ' ')
# Time first, CPU beside it: the reference works on one thread, ours on
# every core up to two. The wall ratio is that of paired runs.
compare_cpu_header
compare_cpu "40 files vs thumbref" "rm -f ours/*.THB ours/thumbs.dat; '$mkpreviews' ours" "./thumbref -s 60x50 -o out $all"
# Each format alone (the same four photographs in each but JPEG).
for ext in jpg png gif tif bmp pcx; do
  rm -rf "only-$ext"
  mkdir "only-$ext"
  cp "$set_dir"/*."$ext" "only-$ext/"
  compare_cpu "  $ext only" "rm -f only-$ext/*.THB only-$ext/thumbs.dat; '$mkpreviews' only-$ext" \
    "./thumbref -s 60x50 -o out $(ls "$set_dir"/*."$ext" | tr '\n' ' ')"
done
# Start-up alone: one 16 x 16 picture.
rm -rf tiny
mkdir tiny
cp "$set_dir.aux/tiny.jpg" tiny/
compare_cpu "  one tiny JPEG" "rm -f tiny/*.THB tiny/thumbs.dat; '$mkpreviews' tiny" "./thumbref -s 60x50 -o out tiny/tiny.jpg"

# Instructions counted under callgrind: the same on a loaded machine as on an idle one.
if [ "${2:-}" = callgrind ]; then
  count() { valgrind --tool=callgrind --callgrind-out-file=callgrind.out "$@" >/dev/null 2>&1
            callgrind_annotate callgrind.out | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1}'; }
  rm -f ours/*.THB ours/thumbs.dat
  oi=$(count "$mkpreviews" ours)
  pi=$(count ./thumbref -s 60x50 -o out $all)
  printf '%-30s %15s %15s %7.3f\n' "instructions, 40 files" "$oi" "$pi" "$(echo "$oi / $pi" | bc -l)"
fi
echo
compare_header
# vipsthumbnail on one thread, as the reference.
compare "40 files vs vipsthumbnail" "rm -f ours/*.THB ours/thumbs.dat; '$mkpreviews' ours" \
  "VIPS_CONCURRENCY=1 vipsthumbnail -s 60x50 -o '$work/vout/%s.jpg' $all"
