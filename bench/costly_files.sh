#!/usr/bin/env bash
# Pictures whose cost has nothing to do with their size on disk: small files
# that decode to the largest legal picture, and huge files that hold a 1 x 1
# one. Each is built here, then read by picconv (the picture window's read)
# and mkpreviews (the previewer's), and by the picture window where the
# benchmarks are built; for each file and tool the peak memory is
# printed as a ratio of the decoded 24-bit picture, beside the budget of
# 1.25 x that picture + 64 MiB (and two bytes a sample that a progressive
# JPEG's decoder keeps), and the time; a file refused, with the refusal's
# words.
#
# Usage: bench/costly_files.sh [CASE...]   (all cases when none is named)
# Needs python3 and about 300 MB of disk (the 2 GiB files are sparse).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRISVALE_BUILD_DIR:-$root/build}
work="$build/bench-costly"
picconv="$build/tools/picconv/picconv"
mkpreviews="$build/tools/mkpreviews/mkpreviews"
[ -x "$picconv" ] || cmake --build "$build" --target picconv >/dev/null
[ -x "$mkpreviews" ] || cmake --build "$build" --target mkpreviews >/dev/null
# The picture window itself, where the build has the benchmarks (BRISVALE_BUILD_BENCH=ON).
show="$build/bench/picture_show"
mkdir -p "$work/files"
cd "$work"

# Builds the files (once); lists "name width height" for each.
python3 - "$work/files" >files.txt <<'PY'
import os, struct, sys, zlib
out = sys.argv[1]
GiB = 1 << 30

def done(name, w, h):
    print(name, w, h)

def make(name):
    return not os.path.exists(os.path.join(out, name))

def deflate_zeros(total, chunk=1 << 24, prefix_every=None):
    c = zlib.compressobj(9)
    parts = []
    left = total
    while left:
        n = min(chunk, left)
        parts.append(c.compress(bytes(n)))
        left -= n
    parts.append(c.flush())
    return b''.join(parts)

def png_chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)

def png(path, w, h, depth, colour, interlace, rows, tail=0):
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(png_chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, depth, colour, 0, 0, interlace)))
        f.write(png_chunk(b'IDAT', rows))
        f.write(png_chunk(b'IEND', b''))
        if tail:
            f.truncate(f.tell() + tail)

def png_zero_rows(w, h, bpp):
    # Every row: filter byte 0 and zero samples, compressed as one stream.
    c = zlib.compressobj(9)
    parts = []
    row = bytes(1 + w * bpp) if w * bpp < (1 << 24) else None
    for _ in range(h):
        if row is not None:
            parts.append(c.compress(row))
        else:
            parts.append(c.compress(b'\0'))
            left = w * bpp
            while left:
                n = min(1 << 24, left)
                parts.append(c.compress(bytes(n)))
                left -= n
    parts.append(c.flush())
    return b''.join(parts)

def tiff_directory(f, entries):
    # The header and the one directory, at offset 8, with no next directory.
    f.write(b'II*\0' + struct.pack('<IH', 8, len(entries)))
    for tag, typ, count, value in entries:
        if typ == 3 and count == 1:
            f.write(struct.pack('<HHIHH', tag, typ, count, value, 0))
        else:
            f.write(struct.pack('<HHII', tag, typ, count, value))
    f.write(struct.pack('<I', 0))

def tiff(path, w, h, tiled):
    data = deflate_zeros(w * h * 3)
    entries = []
    def e(tag, typ, count, value):
        entries.append((tag, typ, count, value))
    ifd_at = 8
    n = 12 if tiled else 11
    data_at = ifd_at + 2 + n * 12 + 4 + 6  # after the IFD and the bits-per-sample triple
    e(256, 4, 1, w)
    e(257, 4, 1, h)
    e(258, 3, 3, ifd_at + 2 + n * 12 + 4)
    e(259, 3, 1, 8)      # deflate
    e(262, 3, 1, 2)      # RGB
    e(277, 3, 1, 3)
    e(284, 3, 1, 1)
    if tiled:
        e(322, 4, 1, w)
        e(323, 4, 1, h)
        e(324, 4, 1, data_at)
        e(325, 4, 1, len(data))
    else:
        e(273, 4, 1, data_at)
        e(278, 4, 1, h)
        e(279, 4, 1, len(data))
    e(296, 3, 1, 1)
    entries.sort()
    assert len(entries) == n
    with open(path, 'wb') as f:
        tiff_directory(f, entries)
        f.write(struct.pack('<HHH', 8, 8, 8))
        f.write(data)

def tiff_layout(path, w, h, photometric, samples, bits, planes):
    # Zero samples in one deflate strip, or one strip a plane.
    strips = samples if planes else 1
    data = deflate_zeros(w * h * (bits // 8) * (1 if planes else samples))
    n = 10
    bits_at = 8 + 2 + n * 12 + 4
    offsets_at = bits_at + 2 * samples
    counts_at = offsets_at + 4 * strips
    data_at = counts_at + 4 * strips
    entries = [(256, 4, 1, w), (257, 4, 1, h), (258, 3, samples, bits_at), (259, 3, 1, 8), (262, 3, 1, photometric),
               (273, 4, strips, data_at if strips == 1 else offsets_at), (277, 3, 1, samples), (278, 4, 1, h),
               (279, 4, strips, len(data) if strips == 1 else counts_at), (284, 3, 1, 2 if planes else 1)]
    with open(path, 'wb') as f:
        tiff_directory(f, entries)
        f.write(struct.pack('<%dH' % samples, *([bits] * samples)))
        f.write(struct.pack('<%dI' % strips, *[data_at + i * len(data) for i in range(strips)]))
        f.write(struct.pack('<%dI' % strips, *([len(data)] * strips)))
        for _ in range(strips):
            f.write(data)

def jpeg_progressive_cmyk(path, w, h):
    # One scan of zero DCs, a bit a block; every coefficient is kept.
    out = b'\xff\xd8' + b'\xff\xdb' + struct.pack('>HB', 67, 0) + bytes([1] * 64)
    out += b'\xff\xc2' + struct.pack('>HBHHB', 20, 8, h, w, 4) + b''.join(bytes([c, 0x11, 0]) for c in range(1, 5))
    out += b'\xff\xc4' + struct.pack('>HB', 20, 0) + bytes([1] + [0] * 15) + b'\0'
    out += b'\xff\xda' + struct.pack('>HB', 14, 4) + b''.join(bytes([c, 0]) for c in range(1, 5)) + b'\0\0\0'
    with open(path, 'wb') as f:
        f.write(out + bytes(w // 8 * h // 8 * 4 // 8) + b'\xff\xd9')

def bmp_1x1(path, tail):
    pixels = b'\x20\x40\x60\0'
    head = b'BM' + struct.pack('<IHHI', 54 + 4, 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, 1, 1, 1, 24, 0, 4, 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(head + info + pixels)
        f.truncate(tail)

def bmp_rle8_strip(path, w):
    runs = bytearray()
    left = w
    while left:
        n = min(255, left)
        runs += bytes([n, (left // 255) % 7])
        left -= n
    runs += b'\0\1'
    palette = b''.join(bytes([i * 30, 255 - i * 30, 128, 0]) for i in range(7)) + bytes(4 * 249)
    off = 14 + 40 + len(palette)
    head = b'BM' + struct.pack('<IHHI', off + len(runs), 0, 0, off)
    info = struct.pack('<IiiHHIIiiII', 40, w, 1, 1, 8, 1, len(runs), 2835, 2835, 256, 0)
    with open(path, 'wb') as f:
        f.write(head + info + palette + runs)

def gif_screen(path, w, h):
    # A logical screen at the limit around a 1 x 1 frame: 799 bytes or so.
    colours = b''.join(bytes([(i * 16) % 256, (255 - i * 16) % 256, (i * 40) % 256]) for i in range(256))
    with open(path, 'wb') as f:
        f.write(b'GIF89a' + struct.pack('<HHBBB', w, h, 0xF7, 0, 0) + colours)
        f.write(b',' + struct.pack('<HHHHB', 0, 0, 1, 1, 0))
        f.write(bytes([8, 4, 0x00, 0x01, 0x04, 0x04, 0]) + b';')

L = 1 << 27
if make('tiff_strip.tif'): tiff(os.path.join(out, 'tiff_strip.tif'), 16384, 8192, False)
done('tiff_strip.tif', 16384, 8192)
if make('tiff_tile.tif'): tiff(os.path.join(out, 'tiff_tile.tif'), 8192, 8192, True)
done('tiff_tile.tif', 8192, 8192)
if make('png16_wide.png'): png(os.path.join(out, 'png16_wide.png'), 1 << 25, 4, 16, 6, 0, png_zero_rows(1 << 25, 4, 8))
done('png16_wide.png', 1 << 25, 4)
if make('png_strip.png'): png(os.path.join(out, 'png_strip.png'), L, 1, 8, 2, 0, png_zero_rows(L, 1, 3))
done('png_strip.png', L, 1)
if make('png16_interlaced.png'):
    # Adam7 passes of an 8192 x 8192 16-bit RGBA picture, all zero.
    w = h = 8192
    c = zlib.compressobj(9)
    parts = []
    for x0, y0, dx, dy in ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)):
        pw = (w - x0 + dx - 1) // dx
        ph = (h - y0 + dy - 1) // dy
        row = bytes(1 + pw * 8)
        for _ in range(ph):
            parts.append(c.compress(row))
    parts.append(c.flush())
    png(os.path.join(out, 'png16_interlaced.png'), w, h, 16, 6, 1, b''.join(parts))
done('png16_interlaced.png', 8192, 8192)
if make('bmp_padded.bmp'): bmp_1x1(os.path.join(out, 'bmp_padded.bmp'), 2 * GiB)
done('bmp_padded.bmp', 1, 1)
if make('png_padded.png'):
    png(os.path.join(out, 'png_padded.png'), 1, 1, 8, 2, 0, zlib.compress(b'\0\x20\x40\x60'), tail=2 * GiB - 70)
done('png_padded.png', 1, 1)
# A JPEG's start and 2 GiB of zeros holds no picture: it is to be refused as
# damaged, at the cost of a small file.
if make('jpeg_zeros.jpg'):
    with open(os.path.join(out, 'jpeg_zeros.jpg'), 'wb') as f:
        f.write(b'\xff\xd8')
        f.truncate(2 * GiB)
done('jpeg_zeros.jpg', 1, 1)
if make('bmp_rle8_strip.bmp'): bmp_rle8_strip(os.path.join(out, 'bmp_rle8_strip.bmp'), L)
done('bmp_rle8_strip.bmp', L, 1)
if make('gif_screen.gif'): gif_screen(os.path.join(out, 'gif_screen.gif'), 16384, 8192)
done('gif_screen.gif', 16384, 8192)
if make('tiff_cmyk.tif'): tiff_layout(os.path.join(out, 'tiff_cmyk.tif'), 16384, 8192, 5, 4, 8, False)
done('tiff_cmyk.tif', 16384, 8192)
if make('tiff_planes16.tif'): tiff_layout(os.path.join(out, 'tiff_planes16.tif'), 8192, 8192, 2, 3, 16, True)
done('tiff_planes16.tif', 8192, 8192)
if make('tiff_planes16_limit.tif'):
    tiff_layout(os.path.join(out, 'tiff_planes16_limit.tif'), 16384, 8192, 2, 3, 16, True)
done('tiff_planes16_limit.tif', 16384, 8192)
if make('jpeg_cmyk_progressive.jpg'): jpeg_progressive_cmyk(os.path.join(out, 'jpeg_cmyk_progressive.jpg'), 16384, 8192)
# Its decoder keeps two bytes for each of its four samples a pixel.
print('jpeg_cmyk_progressive.jpg', 16384, 8192, 4)
PY
# The phone kinds' costly layouts, small on disk, kept with the tests.
for f in webp-alpha-8192x8192.webp:8192:8192 avif444-8192x8192.avif:8192:8192 heic420-8192x4320.heic:8192:4320; do
  IFS=: read -r name w h <<<"$f"
  cp "$root/tests/imaging/files/$name" files/
  echo "$name $w $h" >>files.txt
done

# One run: "seconds peak-KiB", then the last words of a refusal. A refusal is
# measured too: refusing a file must cost no more than reading it.
run() {
  local start end refused=
  start=$(date +%s%N)
  /usr/bin/time -f '%M' -o time.txt "$@" >out.txt 2>&1 || refused="refused: $(tail -1 out.txt)"
  end=$(date +%s%N)
  echo "$(echo "($end - $start) / 1000000000" | bc -l | cut -c1-6) $(tail -1 time.txt) $refused"
}

report() {
  local name=$1 tool=$2 w=$3 h=$4 kept=$5 result=$6
  set -- $result
  local seconds=$1 kib=$2
  shift 2
  local picture=$((w * h * 3))
  local budget=$((picture * 5 / 4 + (64 << 20) + 2 * kept * w * h))
  printf '%-22s %-16s %8.1f MiB %8s x picture %8.2f x budget %8ss %s\n' "$name" "$tool" \
    "$(echo "$kib / 1024" | bc -l)" "$(echo "$kib * 1024 / $picture" | bc -l | cut -c1-7)" \
    "$(echo "$kib * 1024 / $budget" | bc -l)" "$seconds" "$*"
}

printf '%-22s %-16s %12s %18s %19s %9s\n' file tool peak "ratio" "of budget" time
while read -r name w h kept; do
  kept=${kept:-0}
  if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qx "${name%.*}"; then
    continue
  fi
  report "$name" picconv "$w" "$h" "$kept" "$(run "$picconv" "files/$name" out.bmp)"
  rm -f out.bmp
  if [ -x "$show" ]; then
    report "$name" "picture window" "$w" "$h" "$kept" "$(QT_QPA_PLATFORM=offscreen run "$show" "$work/files/$name")"
  fi
  rm -rf previews && mkdir previews && ln -s "$work/files/$name" "previews/$name"
  report "$name" mkpreviews "$w" "$h" "$kept" "$(run "$mkpreviews" previews)"
  if [ "$name" = gif_screen.gif ]; then
    rm -f previews/*.THB previews/thumbs.dat
    report "$name" "mkpreviews 16" "$w" "$h" "$kept" "$(run "$mkpreviews" previews --resolution 16)"
  fi
done <files.txt
