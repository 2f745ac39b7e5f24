#!/usr/bin/env bash
# Whole-process timings of picconv against the tools a user would pick instead,
# run side by side on the same files, with peak memory:
#   a 24-megapixel photograph to a 24-bit BMP against `djpeg -bmp`;
#   PNG, GIF, TIFF, BMP and PCX pictures to BMP against ImageMagick's convert.
# Usage: bench/compare.sh [RUNS]   (medians of RUNS runs, 7 by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRISVALE_BUILD_DIR:-$root/build}
runs=${1:-7}
picconv="$build/tools/picconv/picconv"
[ -x "$picconv" ] || cmake --build "$build" --target picconv >/dev/null
im=$(command -v convert-im6.q16 || command -v convert)
work="$build/bench-files"
mkdir -p "$work"
cd "$work"

# The photograph: a fractal landscape with grain, 6000 x 4000, as a camera saves it.
if [ ! -f photo.jpg ]; then
  "$im" -seed 7 -size 1500x1000 plasma:fractal -blur 0x2 -resize 6000x4000! \
    -attenuate 0.4 +noise Gaussian -quality 92 -sampling-factor 2x2 photo.jpg
fi
if [ ! -f picture.png ]; then
  "$im" photo.jpg -resize 3000x2000 picture.ppm
  "$im" picture.ppm picture.png
  "$im" picture.ppm -colors 256 picture.gif
  "$im" picture.ppm -compress lzw picture.tif
  "$im" picture.ppm BMP3:picture.bmp
  "$im" picture.ppm PCX:picture.pcx
  rm picture.ppm
fi

source "$root/bench/lib.sh"
compare_header
: >results.txt
compare "JPEG 24 MP vs djpeg -bmp" "'$picconv' photo.jpg out.bmp --depth 24" "djpeg -bmp -outfile peer.bmp photo.jpg"
for ext in png gif tif bmp pcx; do
  compare "${ext^^} 6 MP vs convert" "'$picconv' picture.$ext out.bmp --depth 24" "'$im' picture.$ext peer.bmp"
done

decoded=$((6000 * 4000 * 3 / 1024))
peak=$(awk -F'|' 'NR==1 {print $4}' results.txt)
echo
echo "JPEG peak memory: ${peak} KB for a decoded picture of ${decoded} KB (ratio $(echo "$peak / $decoded" | bc -l | cut -c1-5))"
