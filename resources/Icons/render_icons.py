#!/usr/bin/env python3
"""Renders the library's built-in icons into this folder.

    python3 resources/Icons/render_icons.py

large_icon.png (64x64) is the icon of informational boxes; window_icon.png
(32x32) is their window icon. Both are a blue disc with a white "i", drawn with
4x4 supersampling so the edges are smooth. Only the standard library is used,
so the icons can be rebuilt anywhere; the PNGs are checked in because the
library must not need a drawing tool at build time.
"""

import os
import struct
import zlib

SAMPLES = 4


def coverage(size, inside):
    """Fraction of each pixel's subsamples for which inside(x, y) holds,
    with x and y in [0, 1)."""
    rows = []
    step = 1.0 / (size * SAMPLES)
    for py in range(size):
        row = []
        for px in range(size):
            hits = 0
            for sy in range(SAMPLES):
                y = (py * SAMPLES + sy + 0.5) * step
                for sx in range(SAMPLES):
                    x = (px * SAMPLES + sx + 0.5) * step
                    if inside(x, y):
                        hits += 1
            row.append(hits / (SAMPLES * SAMPLES))
        rows.append(row)
    return rows


def in_disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_rounded_rect(left, top, right, bottom, radius):
    def inside(x, y):
        if not (left <= x <= right and top <= y <= bottom):
            return False
        nx = min(max(x, left + radius), right - radius)
        ny = min(max(y, top + radius), bottom - radius)
        return (x - nx) ** 2 + (y - ny) ** 2 <= radius * radius
    return inside


def render(size):
    disc = coverage(size, in_disc(0.5, 0.5, 0.47))
    glyph_dot = in_disc(0.5, 0.28, 0.075)
    glyph_stem = in_rounded_rect(0.435, 0.42, 0.565, 0.77, 0.03)
    glyph = coverage(size, lambda x, y: glyph_dot(x, y) or glyph_stem(x, y))

    pixels = bytearray()
    for py in range(size):
        pixels.append(0)  # PNG filter type: none
        for px in range(size):
            alpha = disc[py][px]
            # Vertical gradient from a light to a deeper blue.
            t = py / max(size - 1, 1)
            blue = (int(64 + (24 - 64) * t), int(150 + (100 - 150) * t), int(230 + (200 - 230) * t))
            g = glyph[py][px]
            colour = [round(c * (1 - g) + 255 * g) for c in blue]
            pixels.extend(colour)
            pixels.append(round(255 * alpha))
    return bytes(pixels)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, size):
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    data = zlib.compress(render(size), 9)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"IDAT", data))
        f.write(chunk(b"IEND", b""))


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, "large_icon.png"), 64)
    write_png(os.path.join(here, "window_icon.png"), 32)
