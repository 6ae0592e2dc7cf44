#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the program's own icon and cursors: resources/quorvel.png,
resources/HAND-M.CUR, resources/drag.ico, and the icon again in the sizes a
desktop asks for (resources/icons/hicolor/NxN/apps/quorvel.png). Pure Python,
no outside images."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources")
SS = 4  # supersampling per axis


def render(size, layers, grid=None):
    """layers: list of (inside(x, y) -> bool, (r, g, b, a)), painted in order.
    The shapes are drawn on a grid of `grid` units (default: size), so one
    drawing renders crisply at every size instead of being resampled."""
    scale = (grid or size) / size
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    px = (x + (sx + 0.5) / SS) * scale
                    py = (y + (sy + 0.5) / SS) * scale
                    col = (0, 0, 0, 0)
                    for inside, c in layers:
                        if inside(px, py):
                            col = c
                    a = col[3] / 255.0
                    acc[0] += col[0] * a
                    acc[1] += col[1] * a
                    acc[2] += col[2] * a
                    acc[3] += a
            n = SS * SS
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [min(255, round(acc[i] / acc[3])) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], round(alpha * 255)))
        pixels.append(row)
    return pixels


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def grow(shape, d):
    """The shape widened by d in every direction (sampled), for outlines."""
    offsets = [(d * math.cos(a), d * math.sin(a)) for a in [k * math.pi / 8 for k in range(16)]]
    return lambda x, y: shape(x, y) or any(shape(x + ox, y + oy) for ox, oy in offsets)


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def png_bytes(pixels):
    h = len(pixels)
    w = len(pixels[0])
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon_file(pixels, kind, hotspot=(0, 0)):
    """An .ico (kind 1) or .cur (kind 2) holding one 32-bit BMP image."""
    h = len(pixels)
    w = len(pixels[0])
    xor = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(pixels) for p in row)
    mask_stride = ((w + 31) // 32) * 4
    mask = b""
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    a, b = (1, 32) if kind == 1 else hotspot
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, a, b, len(image), 6 + 16)
    return struct.pack("<HHH", 0, kind, 1) + entry + image


# The icon theme sizes desktops and software centres look up.
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def program_icon(size=64):
    background = rounded(2, 2, 62, 62, 12)
    small = rect(10, 34, 28, 52)
    small_in = rect(12, 36, 26, 50)
    big_frame = rect(20, 12, 54, 46)
    big_in = rect(23, 15, 51, 43)
    sun = lambda x, y: (x - 44) ** 2 + (y - 22) ** 2 <= 16
    hill = polygon([(23, 43), (33, 28), (41, 36), (46, 31), (51, 38), (51, 43)])
    arrow = polygon([(27, 39), (37, 29), (33, 29), (33, 26), (41, 26), (41, 34), (38, 34), (38, 31),
                     (29, 41)])
    return render(size, [
        (background, (33, 92, 170, 255)),
        (big_frame, (255, 255, 255, 255)),
        (big_in, (150, 205, 240, 255)),
        (sun, (255, 214, 64, 255)),
        (hill, (60, 150, 80, 255)),
        (small, (255, 255, 255, 255)),
        (small_in, (240, 170, 60, 255)),
        (arrow, (20, 40, 90, 255)),
    ], grid=64)


def hand_cursor():
    finger = rounded(10, 1, 15, 20, 2.5)
    palm = rounded(7, 12, 25, 29, 4)
    knuckles = union(rounded(14, 10, 18.5, 20, 2.2), rounded(17.5, 11, 22, 21, 2.2),
                     rounded(21, 12.5, 25, 22, 2))
    thumb = polygon([(7, 23), (2.5, 17.5), (4.5, 15.5), (9, 19)])
    hand = union(finger, palm, knuckles, thumb)
    lines = union(rect(14.6, 15, 15.4, 20), rect(17.8, 16, 18.5, 21), rect(21.1, 17, 21.8, 22))
    return render(32, [(grow(hand, 1.1), (0, 0, 0, 255)), (hand, (255, 255, 255, 255)),
                       (lines, (0, 0, 0, 255))])


def drag_icon():
    up = polygon([(16, 1), (25, 11), (19, 11), (19, 14), (13, 14), (13, 11), (7, 11)])
    down = polygon([(16, 31), (25, 21), (19, 21), (19, 18), (13, 18), (13, 21), (7, 21)])
    bar = rect(5, 15, 27, 17)
    shape = union(up, down, bar)
    return render(32, [(grow(shape, 1.1), (255, 255, 255, 255)), (shape, (20, 40, 90, 255))])


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "quorvel.png"), "wb") as f:
        f.write(png_bytes(program_icon()))
    for size in ICON_SIZES:
        folder = os.path.join(OUT, "icons", "hicolor", f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "quorvel.png"), "wb") as f:
            f.write(png_bytes(program_icon(size)))
    with open(os.path.join(OUT, "HAND-M.CUR"), "wb") as f:
        f.write(icon_file(hand_cursor(), 2, hotspot=(12, 1)))
    with open(os.path.join(OUT, "drag.ico"), "wb") as f:
        f.write(icon_file(drag_icon(), 1))


if __name__ == "__main__":
    main()
