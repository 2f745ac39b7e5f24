#!/usr/bin/env bash
# What honouring a picture's colour profile costs: the same photographs
# untagged and tagged with a Display P3 profile, shown in the reward window
# (a 24-megapixel JPEG, from the request until the fitted picture is painted)
# and made into 60 x 50 previews by mkpreviews (a folder of 20 photographs).
# Medians of RUNS runs of wall time, processor time and peak memory, and the
# tagged/untagged ratio of each.
# Usage: bench/colour_cost.sh [RUNS]   (7 by default)
set -euo pipefail
runs=${1:-7}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRISVALE_BUILD_DIR:-$root/build}
for t in picture_show mkpreviews make_colour_profiles; do
  [ -n "$(find "$build" -name "$t" -type f -perm -u+x -print -quit)" ] || cmake --build "$build" --target "$t" >/dev/null
done
show=$(find "$build" -name picture_show -type f -perm -u+x -print -quit)
mkpreviews=$(find "$build" -name mkpreviews -type f -perm -u+x -print -quit)
profiles=$(find "$build" -name make_colour_profiles -type f -perm -u+x -print -quit)
im=$(command -v convert-im6.q16 || command -v convert)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
cd "$work"
"$profiles" .

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
# "wall-ms peak-KB cpu-ms" of one run of the command.
timed() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%M %U %S' -o time.txt "$@" >out.txt 2>/dev/null || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  awk -v ms=$(( (end - start) / 1000000 )) '{printf "%d %d %d\n", ms, $1, ($2 + $3) * 1000}' time.txt
}
# The window's own time replaces the process's wall time.
shown() {
  local run
  run=$(timed "$show" "$1")
  echo "$(cut -d. -f1 out.txt) ${run#* }"
}
row() { # name untagged-file tagged-file (columns of runs)
  printf '%-28s %8s %8s %6s %8s %8s %6s %9s %9s %6s\n' "$1" \
    "$(cut -d' ' -f1 "$2" | median)ms" "$(cut -d' ' -f1 "$3" | median)ms" \
    "$(echo "$(cut -d' ' -f1 "$3" | median) / $(cut -d' ' -f1 "$2" | median)" | bc -l | cut -c1-5)" \
    "$(cut -d' ' -f3 "$2" | median)ms" "$(cut -d' ' -f3 "$3" | median)ms" \
    "$(echo "$(cut -d' ' -f3 "$3" | median) / $(cut -d' ' -f3 "$2" | median)" | bc -l | cut -c1-5)" \
    "$(cut -d' ' -f2 "$2" | median)KB" "$(cut -d' ' -f2 "$3" | median)KB" \
    "$(echo "$(cut -d' ' -f2 "$3" | median) / $(cut -d' ' -f2 "$2" | median)" | bc -l | cut -c1-5)"
}

# A photograph-like 24-megapixel picture, and the same bytes with a profile.
"$im" -seed 3 -size 600x400 plasma:fractal -resize 6000x4000! -attenuate 0.2 +noise Gaussian -quality 90 plain.jpg
"$im" plain.jpg -profile p3.icc tagged.jpg
: >show-plain.txt
: >show-tagged.txt
for _ in $(seq "$runs"); do
  shown plain.jpg >>show-plain.txt
  shown tagged.jpg >>show-tagged.txt
done

mkdir -p plain tagged
for i in $(seq -w 1 20); do
  "$im" -seed "$i" -size 300x200 plasma:fractal -resize 3000x2000! -quality 90 "plain/p$i.jpg"
  "$im" "plain/p$i.jpg" -profile p3.icc "tagged/p$i.jpg"
done
: >previews-plain.txt
: >previews-tagged.txt
for _ in $(seq "$runs"); do
  rm -f plain/*.THB plain/thumbs.dat tagged/*.THB tagged/thumbs.dat
  timed "$mkpreviews" plain >>previews-plain.txt
  timed "$mkpreviews" tagged >>previews-tagged.txt
done

printf '%-28s %8s %8s %6s %8s %8s %6s %9s %9s %6s\n' "" untagged tagged ratio "cpu unt." "cpu tag." ratio \
  "peak unt." "peak tag." ratio
row "window, 24 MP JPEG" show-plain.txt show-tagged.txt
row "previews, 20 x 6 MP JPEG" previews-plain.txt previews-tagged.txt
