#!/usr/bin/env python3
"""Makes the photo frame's two pictures, hairline.bmp and flower.bmp.

The frame maps a square picture onto its ring: the picture's outer edge on
the ring's outer edge, its central half on the hole. Only the band within
a quarter of the side from the edge shows, and lines that run at a fixed
distance from the edge run along the frame.

hairline.bmp: 8-bit grey (grey colour table), a height map of fine ridges
parallel to the edge with a faint grain across them, like a moulding.
flower.bmp: 24-bit, flowers along the band on a dark background.

Python 3 standard library only; run it from this directory.
"""

import math
import random
import struct

SIDE = 256
BAND = SIDE // 4


def bmp_bytes(width, height, bits, rows, palette=None):
    """A bottom-up BMP; rows are byte strings, the bottom row first."""
    stride = (width * bits // 8 + 3) & ~3
    body = b"".join(r + b"\0" * (stride - len(r)) for r in rows)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette or [])
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(body),
                       2835, 2835, len(palette or []), 0)
    return header + info + table + body


def edge_distance(x, y):
    return min(x, y, SIDE - 1 - x, SIDE - 1 - y)


def hairline():
    rng = random.Random(21)
    # Ridge centres (distance from the outer edge) and their heights.
    ridges = [(3, 1.0), (9, 0.7), (13, 0.7), (22, 1.0), (31, 0.5), (35, 0.5),
              (39, 0.5), (50, 0.8), (58, 1.0)]
    grain = [rng.random() for _ in range(SIDE)]
    rows = []
    for y in range(SIDE):
        row = bytearray()
        for x in range(SIDE):
            d = edge_distance(x, y)
            h = 0.25
            for centre, height in ridges:
                # Ridges one to two pixels wide.
                h += height * 0.6 * math.exp(-((d - centre) ** 2) / 0.8)
            # A faint grain across the ridges, along the frame's length.
            along = x if (d == y or d == SIDE - 1 - y) else y
            h += 0.06 * grain[along]
            row.append(max(0, min(255, int(h * 200))))
        rows.append(bytes(row))
    palette = [(i, i, i) for i in range(256)]
    return bmp_bytes(SIDE, SIDE, 8, rows, palette)


def flower():
    rng = random.Random(8)
    img = [[(14, 12, 20) for _ in range(SIDE)] for _ in range(SIDE)]

    def put(x, y, colour, alpha):
        if 0 <= x < SIDE and 0 <= y < SIDE:
            old = img[y][x]
            img[y][x] = tuple(int(o + (c - o) * alpha) for o, c in zip(old, colour))

    def blossom(cx, cy, radius, petal, centre, turn):
        r = int(radius) + 2
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                dx, dy = x - cx, y - cy
                dist = math.hypot(dx, dy)
                angle = math.atan2(dy, dx) + turn
                # Five petals: a rose curve for the outline.
                edge = radius * (0.55 + 0.45 * abs(math.cos(2.5 * angle)))
                if dist <= radius * 0.3:
                    put(x, y, centre, 1.0)
                elif dist <= edge:
                    shade = 0.75 + 0.25 * (1 - dist / max(edge, 1))
                    put(x, y, tuple(int(c * shade) for c in petal), 1.0)
                elif dist <= edge + 1:
                    put(x, y, petal, 0.4)

    def leaf(cx, cy, angle):
        for t in range(-7, 8):
            for s in range(-3, 4):
                if abs(s) <= 3 * (1 - abs(t) / 8):
                    x = int(cx + t * math.cos(angle) - s * math.sin(angle))
                    y = int(cy + t * math.sin(angle) + s * math.cos(angle))
                    put(x, y, (40, 110, 45), 0.9)

    petals = [(220, 70, 90), (240, 190, 60), (170, 90, 210), (245, 245, 240),
              (250, 130, 60)]
    # A vine in the middle of the band, then leaves and flowers along it.
    mid = BAND // 2
    for i in range(SIDE):
        for x, y in ((i, mid), (i, SIDE - 1 - mid), (mid, i), (SIDE - 1 - mid, i)):
            wobble = int(3 * math.sin(i / 9.0))
            if y in (mid, SIDE - 1 - mid):
                put(x, y + wobble, (50, 95, 40), 1.0)
            else:
                put(x + wobble, y, (50, 95, 40), 1.0)
    spots = []
    for i in range(8, SIDE, 21):
        spots += [(i, mid), (i, SIDE - 1 - mid), (mid, i), (SIDE - 1 - mid, i)]
    for x, y in spots:
        leaf(x + rng.randint(-6, 6), y + rng.randint(-8, 8), rng.random() * math.pi)
    for x, y in spots:
        blossom(x + rng.randint(-4, 4), y + rng.randint(-4, 4), rng.uniform(7, 11),
                rng.choice(petals), (250, 220, 80), rng.random())
    rows = [bytes(v for r, g, b in row for v in (b, g, r)) for row in img]
    return bmp_bytes(SIDE, SIDE, 24, rows)


if __name__ == "__main__":
    with open("hairline.bmp", "wb") as f:
        f.write(hairline())
    with open("flower.bmp", "wb") as f:
        f.write(flower())
