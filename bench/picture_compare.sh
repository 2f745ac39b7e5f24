#!/usr/bin/env bash
# The reward window against the bare decode: for each 24-megapixel JPEG of a
# photo folder, the time from asking the picture window to show it until the
# fitted picture is painted, side by side with `djpeg -bmp` decoding the same
# file, medians of RUNS runs, with peak memory. Our peak is compared with the
# decoded picture's size plus what the program holds when it shows a tiny
# picture (its own base).
# Usage: bench/picture_compare.sh PHOTO_FOLDER [RUNS]
#   PHOTO_FOLDER as made by the project's photo-set script (its *-24mp.jpg
#   files; a tiny.jpg beside it in PHOTO_FOLDER.aux is used for the base).
set -euo pipefail
folder=${1:?usage: picture_compare.sh PHOTO_FOLDER [RUNS]}
runs=${2:-7}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRISVALE_BUILD_DIR:-$root/build}
show="$build/bench/picture_show"
[ -x "$show" ] || {
  cmake -S "$root" -B "$build" -DBRISVALE_BUILD_BENCH=ON >/dev/null
  cmake --build "$build" --target picture_show >/dev/null
}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The window reads and writes its settings; keep them away from the user's.
export XDG_CONFIG_HOME="$work/config"

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

# Each run prints "milliseconds peak-kilobytes cpu-milliseconds"; the CPU time
# is the whole process's, user and system, since on a busy machine the wall
# time of a decode that writes 70 MB can be mostly waiting.
cpu() { awk '{printf "%d %d", $1, ($2 + $3) * 1000}' "$work/time.txt"; }
# One showing in the window: the time is the window's own, from the request
# to show the picture until it is painted.
ours() {
  local ms
  ms=$(/usr/bin/time -f '%M %U %S' -o "$work/time.txt" "$show" "$1" 2>/dev/null) \
    || { echo "failed: $1" >&2; exit 1; }
  echo "$ms $(cpu)"
}
# One whole djpeg run.
peer() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%M %U %S' -o "$work/time.txt" djpeg -bmp -outfile "$work/peer.bmp" "$1"
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000000 )) $(cpu)"
}

tiny="$folder.aux/tiny.jpg"
if [ ! -f "$tiny" ]; then
  tiny="$work/tiny.jpg"
  { printf 'P6\n16 16\n255\n'; head -c 768 /dev/zero; } | cjpeg >"$tiny"
fi
: >"$work/base.txt"
for _ in $(seq "$runs"); do ours "$tiny" >>"$work/base.txt"; done
base=$(cut -d' ' -f2 "$work/base.txt" | median)
echo "program base (showing $(basename "$tiny")): ${base} KB"

printf '%-20s %9s %9s %6s %9s %9s %6s %10s %10s %10s %6s\n' picture window djpeg ratio "our cpu" "djpeg cpu" ratio \
  "our peak" "djpeg peak" decoded memory
for f in "$folder"/*-24mp.jpg; do
  : >"$work/ours.txt"
  : >"$work/peer.txt"
  for _ in $(seq "$runs"); do
    ours "$f" >>"$work/ours.txt"
    peer "$f" >>"$work/peer.txt"
  done
  ot=$(cut -d' ' -f1 "$work/ours.txt" | median)
  pt=$(cut -d' ' -f1 "$work/peer.txt" | median)
  om=$(cut -d' ' -f2 "$work/ours.txt" | median)
  pm=$(cut -d' ' -f2 "$work/peer.txt" | median)
  oc=$(cut -d' ' -f3 "$work/ours.txt" | median)
  pc=$(cut -d' ' -f3 "$work/peer.txt" | median)
  # The decoded picture: djpeg's BMP less its 54-byte header, 24 bits a pixel.
  decoded=$(( ($(stat -c %s "$work/peer.bmp") - 54) / 1024 ))
  printf '%-20s %7sms %7sms %6.2f %7sms %7sms %6.2f %8sKB %8sKB %8sKB %6.2f\n' "$(basename "$f")" \
    "$ot" "$pt" "$(echo "$ot / $pt" | bc -l)" "$oc" "$pc" "$(echo "$oc / $pc" | bc -l)" \
    "$om" "$pm" "$decoded" "$(echo "$om / ($decoded + $base)" | bc -l)"
done
echo "window: from the request to show until painted; djpeg: the whole run; cpu: whole processes"
echo "memory: our peak / (decoded picture + program base)"
