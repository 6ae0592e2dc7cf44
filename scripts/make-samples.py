#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the sample pictures in resources/Samples: small images that show what
an enlargement keeps (gradients, hard edges, transparency, animation).
Drawing is ours, in Python; ImageMagick's `convert` only encodes JPEG and GIF."""
import importlib.util
import math
import os
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
_loader = importlib.util.spec_from_file_location("art", os.path.join(HERE, "make-art.py"))
art = importlib.util.module_from_spec(_loader)
_loader.loader.exec_module(art)

OUT = os.path.join(HERE, "..", "resources", "Samples")


def render_rgb(w, h, colour_at):
    return [[colour_at(x + 0.5, y + 0.5) for x in range(w)] for y in range(h)]


def write_png(path, pixels):
    with open(path, "wb") as f:
        f.write(art.png_bytes(pixels))


def write_bmp(path, pixels):
    import struct
    h = len(pixels)
    w = len(pixels[0])
    stride = (w * 3 + 3) & ~3
    rows = b""
    for row in reversed(pixels):
        line = b"".join(bytes((p[2], p[1], p[0])) for p in row)
        rows += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + rows)


def lerp(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(len(a)))


def sunset():
    w, h = 192, 128
    sun = lambda x, y: (x - 130) ** 2 + (y - 70) ** 2 <= 22 ** 2
    far = art.polygon([(0, 90), (30, 62), (55, 80), (90, 50), (130, 84), (160, 66), (192, 88),
                       (192, 128), (0, 128)])
    near = art.polygon([(0, 108), (40, 86), (80, 104), (120, 92), (192, 112), (192, 128), (0, 128)])
    layers = [
        (sun, (255, 214, 120, 255)),
        (far, (92, 60, 110, 255)),
        (near, (40, 30, 60, 255)),
    ]

    def sky(x, y):
        t = y / h
        return lerp((40, 60, 140), (250, 150, 90), t) + (255,)

    base = render_rgb(w, h, sky)
    # The shapes over the sky, supersampled 3x3 per pixel.
    out = []
    for y in range(h):
        row = []
        for x in range(w):
            r, g, b, _ = base[y][x]
            acc = [0.0, 0.0, 0.0]
            for sy in range(3):
                for sx in range(3):
                    px, py = x + (sx + 0.5) / 3, y + (sy + 0.5) / 3
                    c = (r, g, b)
                    for inside, col in layers:
                        if inside(px, py):
                            c = col[:3]
                    for i in range(3):
                        acc[i] += c[i]
            row.append(tuple(round(v / 9) for v in acc) + (255,))
        out.append(row)
    return out


def badge():
    s = 128
    ring = lambda x, y: (x - 64) ** 2 + (y - 64) ** 2 <= 60 ** 2
    inner = lambda x, y: (x - 64) ** 2 + (y - 64) ** 2 <= 50 ** 2
    star_pts = []
    for k in range(10):
        r = 38 if k % 2 == 0 else 16
        a = -math.pi / 2 + k * math.pi / 5
        star_pts.append((64 + r * math.cos(a), 66 + r * math.sin(a)))
    star = art.polygon(star_pts)
    return art.render(s, [(ring, (30, 120, 200, 255)), (inner, (255, 255, 255, 190)),
                          (star, (240, 170, 30, 255))])


def sprite(frame):
    s = 48
    body = art.rounded(12, 14, 36, 40, 8)
    eye_open = lambda cx: (lambda x, y: (x - cx) ** 2 + (y - 24) ** 2 <= 9)
    eye_shut = lambda cx: art.rect(cx - 3, 23.5, cx + 3, 25)
    eyes = (eye_open, eye_open) if frame == 0 else (eye_shut, eye_shut)
    feet = art.union(art.rect(14, 40, 20, 44), art.rect(28, 40, 34, 44))
    mouth = art.rect(20, 31, 28, 33)
    return art.render(s, [(feet, (60, 40, 20, 255)), (body, (90, 190, 90, 255)),
                          (eyes[0](19), (20, 20, 20, 255)), (eyes[1](29), (20, 20, 20, 255)),
                          (mouth, (160, 40, 40, 255))])


def tiles():
    w, h = 96, 96
    palette = [(200, 60, 60), (240, 200, 60), (60, 160, 90), (60, 110, 200)]

    def colour(x, y):
        cx, cy = int(x // 12), int(y // 12)
        c = palette[(cx + 2 * cy) % 4]
        if (x % 12) < 1 or (y % 12) < 1:
            return (250, 250, 250, 255)
        return c + (255,)

    return render_rgb(w, h, colour)


def flatten_alpha(pixels):
    """Hard transparency for GIF: a pixel is either its colour or transparent."""
    return [[p[:3] + (255,) if p[3] >= 128 else (0, 0, 0, 0) for p in row] for row in pixels]


def main():
    os.makedirs(OUT, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "sunset.png")
        write_png(src, sunset())
        subprocess.run(["convert", src, "-quality", "88", "-sampling-factor", "2x2",
                        "-strip", os.path.join(OUT, "sunset.jpg")], check=True)
        frames = []
        for i in range(2):
            f = os.path.join(tmp, f"sprite{i}.png")
            write_png(f, flatten_alpha(sprite(i)))
            frames.append(f)
        subprocess.run(["convert", "-dispose", "background", "-delay", "60", frames[0],
                        "-delay", "25", frames[1], "-loop", "0",
                        os.path.join(OUT, "sprite.gif")], check=True)
    write_png(os.path.join(OUT, "badge.png"), badge())
    write_bmp(os.path.join(OUT, "tiles.bmp"), tiles())


if __name__ == "__main__":
    main()
