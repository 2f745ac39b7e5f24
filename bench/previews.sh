#!/usr/bin/env bash
# Whole-process timings of making 60 x 50 previews of a folder of photographs:
# mkpreviews (Automatic resolution, for speed, data file written) side by side
# with the reference C thumbnailer (thumbref -s 60x50) and vipsthumbnail, on
# the same folder, medians of several runs, with peak memory.
#
# Usage: bench/previews.sh [RUNS]   (medians of RUNS runs, 7 by default)
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
rm -rf ours jpegs out vout
mkdir -p ours jpegs out vout
cp "$set_dir"/* ours/
cp "$set_dir"/*.jpg jpegs/

source "$root/bench/lib.sh"
compare_header

all=$(ls "$set_dir" | sed 's|^|'"$set_dir"'/|' | tr '\n' ' ')
jpgs=$(ls "$set_dir"/*.jpg | tr '\n' ' ')
compare "40 files vs thumbref" "rm -f ours/*.THB ours/thumbs.dat; '$mkpreviews' ours" "./thumbref -s 60x50 -o out $all"
compare "20 JPEGs vs thumbref" "rm -f jpegs/*.THB jpegs/thumbs.dat; '$mkpreviews' jpegs" "./thumbref -s 60x50 -o out $jpgs"
# vipsthumbnail on one thread, as the reference.
compare "40 files vs vipsthumbnail" "rm -f ours/*.THB ours/thumbs.dat; '$mkpreviews' ours" \
  "VIPS_CONCURRENCY=1 vipsthumbnail -s 60x50 -o '$work/vout/%s.jpg' $all"
