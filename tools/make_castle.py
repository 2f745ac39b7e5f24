#!/usr/bin/env python3
"""Paints the default reward picture, a castle on a hill at dusk, and writes it
as resources/CASTLE.BMP (640 x 480, 24 bits). Run from the repository root."""
import math
import struct

W, H = 640, 480
px = [[(0, 0, 0)] * W for _ in range(H)]


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def rect(x0, y0, x1, y1, c):
    for y in range(max(0, y0), min(H, y1)):
        row = px[y]
        for x in range(max(0, x0), min(W, x1)):
            row[x] = c


def tri(ax, ay, bx, by, cx, cy, c):
    lo, hi = int(min(ay, by, cy)), int(max(ay, by, cy)) + 1
    for y in range(max(0, lo), min(H, hi)):
        xs = []
        for (x1, y1), (x2, y2) in (((ax, ay), (bx, by)), ((bx, by), (cx, cy)), ((cx, cy), (ax, ay))):
            if (y1 <= y < y2) or (y2 <= y < y1):
                xs.append(x1 + (y - y1) * (x2 - x1) / (y2 - y1))
        if len(xs) >= 2:
            rect(int(min(xs)), y, int(max(xs)) + 1, y + 1, c)


# Sky: deep blue to a warm horizon.
for y in range(H):
    c = mix((22, 34, 92), (250, 170, 110), min(1.0, y / 330))
    px[y] = [c] * W
# Sun.
for y in range(200, 330):
    for x in range(440, 580):
        d = math.hypot(x - 510, y - 265)
        if d < 48:
            px[y][x] = mix((255, 240, 170), px[y][x], max(0.0, (d - 40) / 8))
# Far hills and the castle hill.
for x in range(W):
    far = int(330 + 22 * math.sin(x / 70.0) + 10 * math.sin(x / 23.0))
    rect(x, far, x + 1, H, (88, 76, 120))
    near = int(360 - 70 * math.exp(-((x - 250) / 170.0) ** 2) + 6 * math.sin(x / 17.0))
    for y in range(near, H):
        px[y][x] = mix((54, 96, 52), (24, 52, 30), (y - near) / max(1, H - near))

stone, shade, roof = (150, 146, 160), (110, 106, 124), (120, 40, 48)
base = 300
# Curtain wall with battlements and a gate.
rect(150, base - 60, 350, base, stone)
for x in range(150, 350, 20):
    rect(x, base - 72, x + 10, base - 60, stone)
rect(228, base - 44, 272, base, (52, 38, 34))
for y in range(base - 56, base - 44):
    half = int(math.sqrt(max(0, 22 ** 2 - (y - (base - 44)) ** 2)))
    rect(250 - half, y, 250 + half, y + 1, (52, 38, 34))
# Towers with conical roofs and flags.
for cx, top, w in ((150, base - 130, 44), (350, base - 130, 44), (250, base - 170, 54)):
    rect(cx - w // 2, top, cx + w // 2, base, stone)
    rect(cx + w // 2 - 8, top, cx + w // 2, base, shade)
    tri(cx - w // 2 - 6, top, cx + w // 2 + 6, top, cx, top - 56, roof)
    rect(cx - 1, top - 80, cx + 1, top - 54, (40, 40, 40))
    tri(cx + 1, top - 80, cx + 1, top - 66, cx + 22, top - 73, (240, 200, 60))
    for wy in (top + 22, top + 58):
        rect(cx - 5, wy, cx + 5, wy + 14, (255, 214, 120))
# A path down the hill.
for y in range(base, H):
    t = (y - base) / (H - base)
    half = int(12 + 60 * t)
    centre = int(250 + 80 * t * t)
    rect(centre - half, y, centre + half, y + 1, mix((170, 150, 110), (120, 100, 70), t))

row_bytes = W * 3
pad = (4 - row_bytes % 4) % 4
data = bytearray()
for y in range(H - 1, -1, -1):
    for r, g, b in px[y]:
        data += bytes((b, g, r))
    data += b'\0' * pad
header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
with open('resources/CASTLE.BMP', 'wb') as f:
    f.write(header + info + data)
