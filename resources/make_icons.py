#!/usr/bin/env python3
"""Draws the client's two icons from code and writes them as .ico files.

A globe with two meridians and the equator, and an arrow bending round its
lower right that points back at a dot on the globe: the address going out
and coming home. Idle is grey-blue, running is green. Each file holds 16,
32 and 48 pixel images (32-bit BGRA with an AND mask), drawn at 4x and
averaged down so the edges stay smooth.

    python3 resources/make_icons.py [output-folder]
"""

import math
import os
import struct
import sys

SIZES = (16, 32, 48)
SUPER = 4

THEMES = {
    "idle.ico": {"globe": (96, 122, 150), "rim": (52, 70, 92), "grid": (210, 222, 235),
                 "arrow": (236, 240, 245), "dot": (250, 250, 250)},
    "running.ico": {"globe": (46, 160, 67), "rim": (22, 92, 38), "grid": (205, 238, 210),
                    "arrow": (255, 214, 64), "dot": (255, 255, 255)},
}


def inside_globe(x, y, c, r):
    return (x - c) ** 2 + (y - c) ** 2 <= r * r


def shade(x, y, size, theme):
    """Colour and alpha of one sample point in unit pixel coordinates."""
    c = size / 2.0
    r = size * 0.35
    rim = max(1.0, size / 16.0)
    d = math.hypot(x - c, y - c)
    line = max(0.75, size / 24.0)

    # Arrow: a thick arc round the lower right, outside the globe.
    ar = r + rim * 1.5
    angle = math.degrees(math.atan2(y - c, x - c))
    if abs(d - ar) <= rim * 0.9 and -10.0 <= angle <= 100.0:
        return theme["arrow"], 255
    # Arrow head at the arc's upper end, pointing up along the tangent.
    hx, hy = c + ar * math.cos(math.radians(-10)), c + ar * math.sin(math.radians(-10))
    head = rim * 2.6
    if hy - head <= y <= hy + rim * 0.5:
        half = (y - (hy - head)) / (head + rim * 0.5) * head * 0.9
        if abs(x - hx) <= half:
            return theme["arrow"], 255

    if d > r:
        return (0, 0, 0), 0
    if d > r - rim:
        return theme["rim"], 255
    # Dot where the arrow points, upper right of the globe.
    dx, dy = c + r * 0.38, c - r * 0.38
    if math.hypot(x - dx, y - dy) <= max(1.2, size / 11.0):
        return theme["dot"], 255
    # Grid: equator, central meridian and one elliptic meridian each side.
    if abs(y - c) <= line / 2:
        return theme["grid"], 255
    if abs(x - c) <= line / 2:
        return theme["grid"], 255
    ex = r * 0.55
    if ex > 0:
        v = ((x - c) / ex) ** 2 + ((y - c) / r) ** 2
        if abs(math.sqrt(v) - 1.0) * ex <= line / 2:
            return theme["grid"], 255
    # Parallels at a third of the radius above and below.
    for py in (c - r * 0.5, c + r * 0.5):
        if abs(y - py) <= line / 2:
            return theme["grid"], 255
    return theme["globe"], 255


def render(size, theme):
    """Rows of (b, g, r, a), top row first."""
    rows = []
    n = SUPER * SUPER
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    x = px + (sx + 0.5) / SUPER
                    y = py + (sy + 0.5) / SUPER
                    (red, green, blue), alpha = shade(x, y, size, theme)
                    acc[0] += blue * alpha
                    acc[1] += green * alpha
                    acc[2] += red * alpha
                    acc[3] += alpha
            a = acc[3] / n
            if acc[3] > 0:
                b, g, r = (acc[i] / acc[3] for i in range(3))
            else:
                b = g = r = 0
            row.append((int(round(b)), int(round(g)), int(round(r)), int(round(a))))
        rows.append(row)
    return rows


def dib(size, rows):
    """A BITMAPINFOHEADER image as icon directories expect it: double height,
    colour rows bottom-up, then a 1-bit AND mask padded to 32 bits."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(p) for row in reversed(rows) for p in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def icon_file(theme):
    images = [(s, dib(s, render(s, theme))) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, theme in THEMES.items():
        path = os.path.join(folder, name)
        with open(path, "wb") as f:
            f.write(icon_file(theme))
        print(path)


if __name__ == "__main__":
    main()
