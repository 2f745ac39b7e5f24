#!/usr/bin/env bash
# Makes pictures tagged with colour profiles (or nclx code points), each with
# the format's own tools, into the folder given: four patches of 16 x 16,
# pure red, pure green, pure blue and an orange, in every format that can say
# what its colours mean. $2 is the program that writes the profiles.
set -euo pipefail
out=$1
profiles=$2
mkdir -p "$out"
cd "$out"
"$profiles" .
im=$(command -v convert-im6.q16 || command -v convert)

"$im" -size 16x16 xc:'rgb(255,0,0)' xc:'rgb(0,255,0)' xc:'rgb(0,0,255)' xc:'rgb(230,140,60)' +append \
  -depth 8 -define png:exclude-chunks=gAMA,cHRM,bKGD,tIME,tEXt PNG24:patches.png

for p in swapped p3 adobergb srgb; do
  # ImageMagick embeds a profile in a picture that has none without
  # touching its pixels.
  "$im" patches.png -profile "$p.icc" "png:${p}.png"
  "$im" patches.png -quality 100 -sampling-factor 1x1 -profile "$p.icc" "${p}.jpg"
  "$im" patches.png -compress none -profile "$p.icc" "${p}.tif"
  cwebp -quiet -lossless -metadata icc "${p}.png" -o "${p}.webp"
done
# PNG's gamma and chromaticities without a profile: linear light.
"$im" patches.png -set gamma 1.0 -define png:include-chunk=gAMA,cHRM PNG24:linear.png
# BMP (a version 5 header embeds it) and GIF (an application extension).
"$im" patches.png -profile swapped.icc swapped.bmp
"$im" patches.png -profile swapped.icc swapped.gif
avifenc -l --icc p3.icc patches.png p3.avif >/dev/null
avifenc -l --cicp 12/13/0 patches.png p3_nclx.avif >/dev/null
heif-enc -q 100 p3.png -o p3.heic >/dev/null
cp patches.png untagged.png
# Inks: the patches as ideal inks would print them, tagged with a profile
# that prints them with red and green changing places; the JPEG stores its
# inks inverted, as Adobe's marker says.
"$im" patches.png -colorspace CMYK -quality 100 -sampling-factor 1x1 -profile cmyk_swapped.icc cmyk_swapped.jpg
"$im" patches.png -colorspace CMYK -compress none -profile cmyk_swapped.icc cmyk_swapped.tif
"$im" patches.png -colorspace CMYK -quality 100 -sampling-factor 1x1 cmyk_untagged.jpg
# Grey: black, 64, 128 and white, tagged with a grey profile of linear light.
"$im" -size 16x16 xc:'rgb(0,0,0)' xc:'rgb(64,64,64)' xc:'rgb(128,128,128)' xc:'rgb(255,255,255)' +append \
  -colorspace Gray -type Grayscale -depth 8 -define png:exclude-chunks=gAMA,cHRM,bKGD,tIME,tEXt greys.png
for f in png jpg tif; do
  "$im" greys.png -type Grayscale -quality 100 -profile grey_linear.icc "grey_linear.$f"
done
