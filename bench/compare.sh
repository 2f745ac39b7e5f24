#!/usr/bin/env bash
# Whole-process timings of picconv against the tools a user would pick instead,
# run side by side on the same files, with peak memory:
#   a 24-megapixel photograph to a 24-bit BMP against `djpeg -bmp`;
#   PNG, GIF, TIFF, BMP and PCX pictures to BMP against ImageMagick's convert;
#   12-megapixel WebP, AVIF and HEIC pictures against the formats' own decoders:
#   `dwebp -bmp`, `avifdec` to an uncompressed PNG (on all cores, as ours) and
#   `heif-convert` to y4m (its fastest output: no conversion to RGB at all).
# Usage: bench/compare.sh [RUNS] [phone]   (medians of RUNS runs, 7 by default;
#        with `phone`, only the WebP, AVIF and HEIC pictures)
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

# The phone pictures: 4000 x 3000 from the same photograph, as phones save them.
if [ ! -f phone.heic ]; then
  "$im" photo.jpg -resize 4000x3000! phone.png
  cwebp -quiet -q 80 phone.png -o phone.webp
  avifenc -j all -s 8 --min 20 --max 30 -y 420 -d 8 phone.png phone.avif >/dev/null
  heif-enc -q 80 phone.png -o phone.heic >/dev/null
  rm phone.png
fi

source "$root/bench/lib.sh"
compare_header
: >results.txt
phone_only=false
[ "${2:-}" = phone ] && phone_only=true
# Both sides write to memory where there is a tmpfs: our writer flushes its
# file to disk before it replaces the old one, as Save Image must, which on a
# 36 MB picture costs more than decoding it; here the work is compared.
out=$work
[ -d /dev/shm ] && [ -w /dev/shm ] && out=$(mktemp -d /dev/shm/brisvale-bench.XXXXXX)
if ! $phone_only; then
  compare "JPEG 24 MP vs djpeg -bmp" "'$picconv' photo.jpg '$out/out.bmp' --depth 24" \
    "djpeg -bmp -outfile '$out/peer.bmp' photo.jpg"
  for ext in png gif tif bmp pcx; do
    compare "${ext^^} 6 MP vs convert" "'$picconv' picture.$ext '$out/out.bmp' --depth 24" \
      "'$im' picture.$ext '$out/peer.bmp'"
  done
fi
compare "WEBP 12 MP vs dwebp -bmp" "'$picconv' phone.webp '$out/out.bmp' --depth 24" \
  "dwebp -quiet phone.webp -bmp -o '$out/peer.bmp'"
compare "AVIF 12 MP vs avifdec" "'$picconv' phone.avif '$out/out.bmp' --depth 24" \
  "avifdec -j all --png-compress 0 phone.avif '$out/peer.png'"
compare "HEIC 12 MP vs heif-convert" "'$picconv' phone.heic '$out/out.bmp' --depth 24" \
  "heif-convert --quiet phone.heic '$out/peer.y4m'"
[ "$out" = "$work" ] || rm -rf "$out"

phone=$((4000 * 3000 * 3 / 1024))
echo
echo "Phone pictures decode to ${phone} KB; peaks as ratios of that:"
awk -F'|' -v d="$phone" '/12 MP/ {printf "  %-28s ours %.2f, peer %.2f\n", $1, $4 / d, $5 / d}' results.txt
$phone_only && exit 0

decoded=$((6000 * 4000 * 3 / 1024))
peak=$(awk -F'|' 'NR==1 {print $4}' results.txt)
echo
echo "JPEG peak memory: ${peak} KB for a decoded picture of ${decoded} KB (ratio $(echo "$peak / $decoded" | bc -l | cut -c1-5))"
