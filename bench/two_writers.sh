#!/usr/bin/env bash
# Two mkpreviews on one folder at once, round after round: after each round
# every picture must have exactly one entry in thumbs.dat, every entry must
# name a preview that exists, every preview must be named by an entry, and no
# temporary file may be left. Prints the rounds run without a lost entry.
#
# Usage: bench/two_writers.sh [ROUNDS] [PICTURES]   (100 rounds, 40 pictures by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRISVALE_BUILD_DIR:-$root/build}
rounds=${1:-100}
count=${2:-40}
mkpreviews="$build/tools/mkpreviews/mkpreviews"
[ -x "$mkpreviews" ] || cmake --build "$build" --target mkpreviews >/dev/null
command -v convert >/dev/null || { echo "convert missing (Debian: imagemagick)" >&2; exit 1; }
dir="$build/bench-two-writers"
rm -rf "$dir"
mkdir -p "$dir"
# Pairs that share a stem, so numbered preview names are taken too.
for i in $(seq -w 1 $((count / 2))); do
  convert -size 96x72 "plasma:fractal" "$dir/p$i.jpg"
  convert -size 72x96 "gradient:red-blue" "$dir/p$i.gif"
done
pictures=$(cd "$dir" && ls | grep -E '\.(jpg|gif)$' | sort)

check() {
  local data="$dir/thumbs.dat" keys values previews
  keys=$(grep -v '^\[' "$data" | cut -d= -f1 | sort)
  values=$(grep -v '^\[' "$data" | cut -d= -f2 | sort)
  previews=$(cd "$dir" && ls | grep '\.THB$' | sed "s|^|$dir/|" | tr 'A-Z' 'a-z' | sort)
  [ "$keys" = "$(echo "$pictures" | sed "s|^|$dir/|" | tr 'A-Z' 'a-z' | sort)" ] || { echo "entries differ"; return 1; }
  [ "$values" = "$previews" ] || { echo "previews and entries differ"; return 1; }
  ! ls -A "$dir" | grep -qE '^\.(thm|ini)-|\.~' || { echo "temporary files left"; return 1; }
}

for round in $(seq 1 "$rounds"); do
  "$mkpreviews" "$dir" >/dev/null 2>"$dir.err1" &
  first=$!
  "$mkpreviews" "$dir" >/dev/null 2>"$dir.err2" &
  second=$!
  wait "$first" && wait "$second" || { echo "round $round: a run failed"; cat "$dir.err1" "$dir.err2"; exit 1; }
  check || { echo "round $round lost something"; exit 1; }
done
echo "$rounds rounds of two concurrent batches on $count pictures: no entry lost, no preview orphaned"
