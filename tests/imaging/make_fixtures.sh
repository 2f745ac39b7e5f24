#!/usr/bin/env bash
# Makes the reader fixtures with standard tools (ImageMagick, netpbm, libtiff's
# tools) into the folder given, each beside its reference: NAME.ppm holds the
# pixels an independent decoder sees (transparent parts laid on white).
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
cd "$out"
im=$(command -v convert-im6.q16 || command -v convert)

ref() { "$im" "$1" -background white -alpha remove -alpha off -depth 8 "ppm:${1%.*}.ppm"; }
# The picture every fixture starts from: odd width, smooth and sharp parts.
"$im" -size 61x43 xc: -channel R -fx 'i/w' -channel G -fx 'j/h' -channel B -fx '(i*j%7)/7' +channel -depth 8 src.ppm
"$im" src.ppm +dither -colors 16 -depth 8 src16.ppm
"$im" src.ppm +dither -colors 200 -depth 8 src200.ppm
"$im" src.ppm -monochrome -depth 8 src2.ppm

# BMP: the core, 40-byte, 108-byte and 124-byte headers; 1/4/8/16/24/32 bits; RLE8.
"$im" src2.ppm -type bilevel BMP3:bmp_1.bmp
"$im" src16.ppm -type palette BMP3:bmp_4.bmp
"$im" src200.ppm -type palette BMP3:bmp_8.bmp
"$im" src200.ppm -type palette -compress RLE BMP3:bmp_rle8.bmp
"$im" src.ppm BMP3:bmp_24.bmp
"$im" src200.ppm -type palette BMP2:bmp_os2_8.bmp
"$im" src.ppm BMP2:bmp_os2_24.bmp
"$im" src.ppm -define bmp:format=bmp4 BMP:bmp_v4_24.bmp
"$im" src.ppm BMP:bmp_v5_24.bmp
"$im" src.ppm -define bmp:subtype=RGB565 BMP:bmp_565.bmp
"$im" src.ppm -define bmp:subtype=RGB555 BMP:bmp_555.bmp
"$im" src.ppm -alpha set -channel A -evaluate set 100% +channel BMP:bmp_32.bmp
# Alpha in bit fields: 8-8-8-8 and 4-4-4-4.
"$im" src.ppm -alpha set -channel A -fx 'i/w' +channel BMP:bmp_v5_alpha.bmp
"$im" src.ppm -alpha set -channel A -fx 'i/w' +channel -define bmp:subtype=ARGB4444 BMP:bmp_4444.bmp
for f in bmp_*.bmp; do ref "$f"; done

# PCX: netpbm writes the planar and packed kinds, ImageMagick the others.
ppmtopcx src2.ppm > pcx_1.pcx 2>/dev/null
ppmtopcx src16.ppm > pcx_4planes.pcx 2>/dev/null
ppmtopcx -packed src16.ppm > pcx_4packed.pcx 2>/dev/null
ppmtopcx -8bit src200.ppm > pcx_8.pcx 2>/dev/null
ppmtopcx -24bit src.ppm > pcx_24.pcx 2>/dev/null
"$im" src200.ppm -type palette PCX:pcx_im8.pcx
"$im" src.ppm PCX:pcx_im24.pcx
for f in pcx_*.pcx; do pcxtoppm "$f" > "${f%.*}.ppm" 2>/dev/null; done

# GIF: palettes of several sizes, interlaced, transparent.
"$im" src2.ppm gif_2.gif
"$im" src.ppm -colors 64 gif_64.gif
"$im" src.ppm -colors 200 -interlace GIF gif_interlaced.gif
"$im" src16.ppm -transparent "$("$im" src16.ppm -format '%[pixel:p{30,20}]' info:)" gif_transparent.gif
# Kept files (made by a few lines of Python): code tables filled to 4096 entries
# and used on without a clear code, one of them with 11-bit literals, so its
# codes are 12 bits from the start.
cp "$here"/files/gif_*.gif .
for f in gif_*.gif; do ref "$f"; done
# The widest strip the format can hold (netpbm: ImageMagick's policy caps sides).
pgmramp -lr 65535 1 | pamtogif > gifwide_65535x1.gif 2>/dev/null
giftopnm gifwide_65535x1.gif 2>/dev/null | ppmtoppm > gifwide_65535x1.ppm

# TIFF: compressions, strips and tiles, 1 to 16 bits, palette, grey, alpha.
"$im" src.ppm -compress none tif_none.tif
"$im" src.ppm -compress lzw tif_lzw.tif
"$im" src.ppm -compress zip tif_zip.tif
"$im" src.ppm -compress rle tif_packbits.tif
"$im" src.ppm -depth 16 -compress lzw tif_16.tif
"$im" src200.ppm -type palette tif_palette.tif
"$im" src16.ppm -type palette -depth 4 tif_palette4.tif
"$im" src.ppm -colorspace gray tif_grey.tif
"$im" src2.ppm -type bilevel -compress group4 tif_1_fax.tif
"$im" src.ppm -alpha set -channel A -fx 'i/w' +channel tif_alpha.tif
tiffcp -c lzw -t -w 16 -l 16 tif_none.tif tif_tiled.tif
tiffcp -c none -r 5 tif_none.tif tif_strips5.tif
# One tile larger than the picture: decoded inside the picture's own rows.
tiffcp -c zip -t -w 64 -l 48 tif_grey.tif tif_onetile_grey.tif
"$im" src.ppm -crop 48x43+0+0 +repage -compress none onetile48.tiff
tiffcp -c zip -t -w 48 -l 48 onetile48.tiff tif_onetile.tif
"$im" src.ppm -alpha set -channel A -fx 'i/w' +channel -define tiff:fill-order=lsb \
  -define tiff:alpha=unassociated tif_fill2_alpha.tif
# Colours in planes of their own, and CMYK, side by side and in planes.
tiffcp -p separate -c lzw tif_none.tif tif_planes.tif
"$im" src.ppm -depth 16 -interlace plane -compress zip tif_planes16.tif
"$im" src.ppm -colorspace CMYK -compress zip tif_cmyk.tif
tiffcp -p separate -c lzw tif_cmyk.tif tif_cmyk_planes.tif
for f in tif_*.tif; do ref "$f"; done
# Every orientation a camera or scanner may note; the reference turns them upright.
for o in 2 3 4 5 6 7 8; do
  tiffcp -c lzw -r 7 tif_none.tif "tifo_$o.tif"
  tiffset -s 274 "$o" "tifo_$o.tif"
  "$im" "tifo_$o.tif" -auto-orient -depth 8 "ppm:tifo_$o.ppm"
done
"$im" src.ppm -compress jpeg -quality 95 tifj_jpeg.tif
ref tifj_jpeg.tif

# PNG: every colour type at every bit depth, interlaced, tRNS.
"$im" src2.ppm -define png:color-type=0 -define png:bit-depth=1 png_g1.png
"$im" src.ppm -colorspace gray -define png:color-type=0 -define png:bit-depth=2 png_g2.png
"$im" src.ppm -colorspace gray -define png:color-type=0 -define png:bit-depth=4 png_g4.png
"$im" src.ppm -colorspace gray -define png:color-type=0 -define png:bit-depth=8 png_g8.png
"$im" src.ppm -colorspace gray -depth 16 -define png:color-type=0 -define png:bit-depth=16 png_g16.png
"$im" src.ppm PNG24:png_rgb8.png
"$im" src.ppm PNG48:png_rgb16.png
"$im" src2.ppm -type palette -define png:color-type=3 -define png:bit-depth=1 png_p1.png
"$im" src.ppm +dither -colors 4 -depth 8 src4.ppm
pnmtopng src4.ppm > png_p2.png 2>/dev/null
pnmtopng src16.ppm > png_p4.png 2>/dev/null
"$im" src200.ppm PNG8:png_p8.png
"$im" src.ppm -colorspace gray -alpha set -channel A -fx 'i/w' +channel -define png:color-type=4 png_ga8.png
"$im" src.ppm -colorspace gray -alpha set -channel A -fx 'i/w' +channel -depth 16 -define png:color-type=4 png_ga16.png
"$im" src.ppm -alpha set -channel A -fx 'j/h' +channel PNG32:png_rgba8.png
"$im" src.ppm -alpha set -channel A -fx 'j/h' +channel PNG64:png_rgba16.png
"$im" src.ppm -interlace PNG PNG24:png_rgb8_interlaced.png
"$im" src.ppm -alpha set -channel A -fx 'j/h' +channel -interlace PNG PNG32:png_rgba8_interlaced.png
"$im" src200.ppm -interlace PNG PNG8:png_p8_interlaced.png
"$im" src16.ppm -transparent "$("$im" src16.ppm -format '%[pixel:p{30,20}]' info:)" PNG8:png_p4_trns.png
for f in png_*.png; do ref "$f"; done

# JPEG: baseline, progressive, grey, CMYK; the test compares with Qt's reader.
"$im" src.ppm -quality 92 jpg_baseline.jpg
"$im" src.ppm -quality 92 -interlace JPEG jpg_progressive.jpg
"$im" src.ppm -colorspace gray -quality 92 jpg_grey.jpg
"$im" src.ppm -colorspace CMYK -quality 92 jpg_cmyk.jpg
touch fixtures.done
