#!/usr/bin/env python3
"""Draws Tolvane's icon and logo as PNG files with nothing but the standard library.

The icon is a rounded tile with a small spectrum of three bars over a base line; the logo is the
same motif on a lottery ball. Shapes are sampled 4 x 4 per pixel for smooth edges.
Run from anywhere: python3 make_images.py  (writes next to this script).
"""
import math
import os
import struct
import zlib

SAMPLES = 4


def write_png(path, width, height, rows, alpha):
    """rows: list of lists of (r, g, b, a) floats in 0..1."""
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type: none
        for r, g, b, a in row:
            px = [r, g, b, a] if alpha else [r, g, b]
            raw.extend(max(0, min(255, int(round(c * 255)))) for c in px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    colour_type = 6 if alpha else 2
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        out.write(chunk(b"IEND", b""))


def render(size, shapes, background):
    """shapes: list of (inside(x, y) -> bool, (r, g, b)) painted in order over the background."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = background
                    for inside, fill in shapes:
                        if inside(x, y):
                            colour = fill + (1.0,)
                    for i in range(4):
                        acc[i] += colour[i] * (colour[3] if i < 3 else 1.0)
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            if a > 0:
                row.append((acc[0] / n / a, acc[1] / n / a, acc[2] / n / a, a))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def bars(x0, base, width, gap, heights):
    """Rounded-top bars standing on `base`, left to right."""
    shapes = []
    for i, h in enumerate(heights):
        left = x0 + i * (width + gap)
        shapes.append(rounded_rect(left, base - h, left + width, base, width * 0.3))
    return shapes


def wave(x0, x1, mid, amplitude, thickness):
    """A damped sine stroke: the series before the transform."""
    def inside(x, y):
        if not (x0 <= x <= x1):
            return False
        t = (x - x0) / (x1 - x0)
        centre = mid - amplitude * math.sin(t * 3.0 * math.pi) * (1.0 - 0.6 * t)
        return abs(y - centre) <= thickness / 2
    return inside


NAVY = (0.11, 0.20, 0.38)
GOLD = (0.98, 0.75, 0.18)
CORAL = (0.93, 0.36, 0.30)
TEAL = (0.20, 0.72, 0.68)
WHITE = (1.0, 1.0, 1.0)
PAPER = (0.97, 0.96, 0.92, 1.0)


def icon(size):
    shapes = [(rounded_rect(0.03, 0.03, 0.97, 0.97, 0.2), NAVY)]
    colours = [CORAL, GOLD, TEAL]
    for shape, colour in zip(bars(0.2, 0.8, 0.16, 0.06, [0.34, 0.56, 0.24]), colours):
        shapes.append((shape, colour))
    shapes.append((rounded_rect(0.14, 0.8, 0.86, 0.86, 0.03), WHITE))
    return render(size, shapes, (0.0, 0.0, 0.0, 0.0))


def logo(size):
    shapes = [
        (circle(0.5, 0.5, 0.46), NAVY),
        (ring(0.5, 0.5, 0.42, 0.39), GOLD),
        (wave(0.2, 0.8, 0.33, 0.08, 0.035), WHITE),
    ]
    colours = [CORAL, GOLD, TEAL]
    for shape, colour in zip(bars(0.29, 0.74, 0.12, 0.05, [0.22, 0.32, 0.15]), colours):
        shapes.append((shape, colour))
    shapes.append((rounded_rect(0.24, 0.74, 0.76, 0.78, 0.02), WHITE))
    return render(size, shapes, PAPER)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_png(os.path.join(here, "tolvane-32.png"), 32, 32, icon(32), alpha=True)
    write_png(os.path.join(here, "tolvane-128.png"), 128, 128, icon(128), alpha=True)
    write_png(os.path.join(here, "logo.png"), 100, 100, logo(100), alpha=False)


if __name__ == "__main__":
    main()
