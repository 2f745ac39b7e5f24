#!/usr/bin/env bash
# Makes the WebP, AVIF and HEIC fixtures with the formats' own encoders from
# one photograph, into the folder given, each beside NAME.ppm: the format's own
# decoder's output, transparent parts laid on white, turned upright where the
# file asks for it; and one larger picture of every kind the library reads.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
im=$(command -v convert-im6.q16 || command -v convert)
onWhite() { "$im" "$1" -background white -alpha remove -alpha off -depth 8 "ppm:$2"; }

# The photograph: odd sides (chroma halves round), fractal detail and grain;
# its alpha fades across and has a hard hole, as a cut-out does.
"$im" -seed 11 -size 151x101 plasma:fractal -blur 0x1 -resize 301x203! -attenuate 0.3 +noise Gaussian \
  -depth 8 photo.png
"$im" -size 301x203 gradient:white-black -rotate 90 -resize 301x203! \
  -fill black -draw 'circle 150,100 150,130' alpha.png
"$im" photo.png alpha.png -alpha off -compose CopyOpacity -composite -depth 8 photo_alpha.png
"$im" photo.png -modulate 100,40,180 -depth 8 photo2.png

# WebP: lossy with alpha, lossless with alpha, animated (the first frame
# shows), and a file whose EXIF orientation asks for a quarter turn clockwise.
cwebp -quiet -q 80 -alpha_q 100 photo_alpha.png -o webp_lossy_alpha.webp
cwebp -quiet -lossless photo_alpha.png -o webp_lossless_alpha.webp
img2webp -loop 0 -lossy -q 80 photo.png -d 200 photo2.png -o webp_animated.webp 2>/dev/null
webpmux -get frame 1 webp_animated.webp -o webp_animated_first.webp >/dev/null 2>&1
cwebp -quiet -q 90 photo.png -o webp_plain.webp
# A little-endian TIFF header, one directory, one entry: orientation 6.
printf 'II*\0\10\0\0\0\1\0\22\1\3\0\1\0\0\0\6\0\0\0\0\0\0\0' >exif6.bin
webpmux -set exif exif6.bin webp_plain.webp -o webp_exif6.webp >/dev/null 2>&1
for f in webp_lossy_alpha webp_lossless_alpha webp_plain; do
  dwebp -quiet "$f.webp" -pam -o "$f.pam"
  onWhite "$f.pam" "$f.ppm"
done
dwebp -quiet webp_animated_first.webp -pam -o webp_animated.pam
onWhite webp_animated.pam webp_animated.ppm
"$im" webp_plain.ppm -rotate 90 webp_exif6.ppm

# AVIF: 8, 10 and 12 bits a sample; alpha at 10 bits.
avifenc -s 8 --min 20 --max 30 -d 8 photo.png avif_8bit.avif >/dev/null
avifenc -s 8 --min 20 --max 30 -d 10 photo_alpha.png avif_10bit_alpha.avif >/dev/null
avifenc -s 8 --min 20 --max 30 -d 12 -y 444 photo.png avif_12bit.avif >/dev/null
# A crop box at odd offsets and a quarter turn, which libheif reads as well.
avifenc -s 8 -d 8 -y 444 --crop 31,21,201,151 --irot 1 photo.png avif_clap.avif >/dev/null
for f in avif_8bit avif_10bit_alpha avif_12bit; do
  avifdec -d 8 "$f.avif" "$f.png" >/dev/null
  onWhite "$f.png" "$f.ppm"
done

# HEIC: with alpha, and without.
heif-enc -q 80 photo_alpha.png -o heic_alpha.heic >/dev/null
heif-enc -q 80 photo.png -o heic_plain.heic >/dev/null
for f in heic_alpha heic_plain; do
  heif-convert "$f.heic" "$f.png" >/dev/null
  onWhite "$f.png" "$f.ppm"
done
: >empty

# Small files of each kind, quick for the fuzzers to start from.
"$im" photo_alpha.png -resize 24x16! seed.png
"$im" photo2.png -resize 24x16! seed2.png
cwebp -quiet -q 80 seed.png -o seed_lossy.webp
cwebp -quiet -lossless seed.png -o seed_lossless.webp
img2webp -loop 0 -lossy seed.png seed2.png -o seed_animated.webp 2>/dev/null
avifenc -s 8 -d 10 seed.png seed_10bit_alpha.avif >/dev/null
avifenc -s 8 -d 8 -y 420 seed2.png seed_8bit.avif >/dev/null
heif-enc -q 50 seed.png -o seed_alpha.heic >/dev/null
# One larger photograph in every kind the library reads, for reads that
# another program's writes cut short.
"$im" -seed 5 -size 400x300 plasma:fractal -blur 0x1 -resize 1600x1200! -attenuate 0.3 +noise Gaussian \
  -depth 8 race.png
"$im" race.png BMP3:race.bmp
"$im" race.png PCX:race.pcx
"$im" race.png -colors 256 race.gif
"$im" race.png -quality 90 race.jpg
"$im" race.png -compress lzw race.tif
cwebp -quiet -q 80 race.png -o race.webp
avifenc -s 8 -d 8 race.png race.avif >/dev/null
heif-enc -q 80 race.png -o race.heic >/dev/null
touch fixtures.done
