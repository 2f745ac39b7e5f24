#!/usr/bin/env python3
"""Draws the table's 32 x 32, 16-colour win icon (a stack of gold coins under a
sparkle) and writes it as resources/win.xpm. Run from the repository root."""
import math

W = H = 32
# Palette: char -> colour. Kept to 16 entries.
PALETTE = {
    '.': 'None',
    'k': '#000000',
    'd': '#806000',   # coin shadow
    'g': '#C09000',   # coin body
    'y': '#FFD020',   # coin face
    'l': '#FFF080',   # coin highlight
    'w': '#FFFFFF',   # sparkle
    'r': '#C00000',   # ribbon
}

px = [['.'] * W for _ in range(H)]


def put(x, y, c):
    if 0 <= x < W and 0 <= y < H:
        px[y][x] = c


def coin(cx, cy, rx, ry, thick):
    # Edge of the coin: a band of darker colour below the face.
    for y in range(H):
        for x in range(W):
            for t in range(thick, -1, -1):
                dx, dy = (x - cx) / rx, (y - (cy + t)) / ry
                if dx * dx + dy * dy <= 1.0:
                    put(x, y, 'd' if t > 0 else 'y')
                    break
    # Outline and a highlight on the face.
    for a in range(0, 360, 3):
        r = math.radians(a)
        put(round(cx + rx * math.cos(r)), round(cy + ry * math.sin(r)), 'g')
    for a in range(200, 260, 4):
        r = math.radians(a)
        put(round(cx + (rx - 2) * math.cos(r)), round(cy + (ry - 1) * math.sin(r)), 'l')


coin(16, 26, 12, 4, 2)
coin(16, 21, 12, 4, 2)
coin(16, 16, 12, 4, 2)
# Dollar-free mark on the top coin: a small red ribbon chevron.
for i in range(5):
    put(12 + i, 15 + (i // 2), 'r')
    put(20 - i, 15 + (i // 2), 'r')
# Sparkle above the stack.
for i in range(-4, 5):
    put(24 + i, 5, 'w')
    put(24, 5 + i, 'w')
for i in (-1, 1):
    put(24 + i, 5 + i, 'l')
    put(24 + i, 5 - i, 'l')
put(24, 5, 'y')

used = sorted({c for row in px for c in row})
lines = ['/* XPM */', 'static const char *win_xpm[] = {',
         f'"{W} {H} {len(used)} 1",']
for c in used:
    colour = PALETTE[c]
    lines.append(f'"{c} c {colour}",')
for y, row in enumerate(px):
    lines.append('"' + ''.join(row) + '"' + (',' if y < H - 1 else ''))
lines.append('};')
with open('resources/win.xpm', 'w') as f:
    f.write('\n'.join(lines) + '\n')
