#!/usr/bin/env python3
"""Draws the page's PNG icons: the window's icon (a white die showing five
on a green field, the picture of web/icon.svg) at the sizes a phone's home
screen asks for, and a maskable one whose die stays inside the middle 80 %.

    web/icons.py FOLDER

Each pixel takes the part of it each shape covers (from the shape's
signed distance), so the edges are smooth without any imaging library."""
import math
import struct
import sys
import zlib

GREEN, WHITE, NAVY = (0, 128, 0), (255, 255, 255), (0, 0, 64)


def rounded_box(px, py, x0, y0, x1, y1, r):
    """Signed distance from (px, py) to a rounded rectangle (negative inside)."""
    qx = abs(px - (x0 + x1) / 2) - ((x1 - x0) / 2 - r)
    qy = abs(py - (y0 + y1) / 2) - ((y1 - y0) / 2 - r)
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r


def draw(size, maskable):
    # The window's picture in units of the side: field, die, border, pips.
    k = 0.8 if maskable else 1.0  # the die's scale about the middle
    at = lambda v: 0.5 + (v - 0.5) * k
    die = (at(0.15), at(0.15), at(0.85), at(0.85), 0.1 * k)
    border = k / 16
    pips = [(at(x), at(y)) for x, y in [(0.32, 0.32), (0.68, 0.32), (0.5, 0.5), (0.32, 0.68), (0.68, 0.68)]]
    pip_r = 0.07 * k
    cover = lambda d: min(1.0, max(0.0, 0.5 - d * size))
    rows = bytearray()
    for y in range(size):
        rows.append(0)
        py = (y + 0.5) / size
        for x in range(size):
            px = (x + 0.5) / size
            field = 1.0 if maskable else cover(rounded_box(px, py, 0, 0, 1, 1, 1 / 6))
            d = rounded_box(px, py, *die)
            layers = [(WHITE, cover(d)), (NAVY, cover(abs(d) - border / 2))]
            layers += [(NAVY, cover(math.hypot(px - cx, py - cy) - pip_r)) for cx, cy in pips]
            # Each layer over the field; the field's edge gives the alpha.
            colour = GREEN
            for c, a in layers:
                colour = tuple(ci * a + co * (1 - a) for ci, co in zip(c, colour))
            alpha = field
            rows.extend(bytes(round(min(255, max(0, v))) for v in colour) + bytes([round(alpha * 255)]))
    return rows


def png(size, rows):
    chunk = lambda kind, data: struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(bytes(rows), 9)) + chunk(b'IEND', b'')


if __name__ == '__main__':
    folder = sys.argv[1]
    for name, size, maskable in [('icon-180.png', 180, False), ('icon-192.png', 192, False),
                                 ('icon-512.png', 512, False), ('icon-maskable-512.png', 512, True)]:
        with open(f'{folder}/{name}', 'wb') as out:
            out.write(png(size, draw(size, maskable)))
