#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""WebP, TIFF and AVIF: nconvert against `vips resize`, one process per file as the window runs
them, interleaved in the same run. Prints files per second and peak RSS per format.

Usage: formats.py NCONVERT OUTDIR   Environment: FILES (per format, default 4), REPS (default 2),
ONLY (run only the formats whose name contains it, e.g. TIFF), BEFORE (another nconvert, e.g.
an earlier build, run too, interleaved with the others file by file).
Pictures are made with ImageMagick's plasma fractal and saved by Debian's vips."""
import os
import subprocess
import sys
import time

NCONVERT, OUT = sys.argv[1], sys.argv[2]
FILES = int(os.environ.get("FILES", "4"))
REPS = int(os.environ.get("REPS", "2"))
ONLY = os.environ.get("ONLY", "")
BEFORE = os.environ.get("BEFORE", "")
# name, size, vips save suffix with options
KINDS = [
    ("WebP lossy", "1600x1200", ".webp[Q=80]"),
    ("WebP lossless", "1600x1200", ".webp[lossless]"),
    ("TIFF LZW", "1600x1200", ".tif[compression=lzw]"),
    ("AVIF", "800x600", ".avif"),
]


def run(cmd):
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    err = proc.stderr.read().decode(errors="replace").strip()
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = 0
    if status != 0:
        sys.exit(f"{' '.join(cmd)} failed: {err}")
    return time.perf_counter() - start, usage.ru_maxrss / 1024.0


def make(kind, size, suffix, index):
    base = os.path.join(OUT, f"{kind.split()[0].lower()}-{kind.split()[-1].lower()}-{index}")
    png = base + ".png"
    subprocess.run(["convert", "-seed", str(index + 1), "-size", size, "plasma:fractal", png],
                   check=True)
    path = base + suffix.split("[")[0]
    subprocess.run(["vips", "copy", png, base + suffix], check=True)
    return path


def main():
    os.makedirs(OUT, exist_ok=True)
    load = os.getloadavg()
    print(f"load average before: {load[0]:.1f} {load[1]:.1f} {load[2]:.1f}")
    tools = ["nconvert", "vips"] + (["before"] if BEFORE else [])
    extra = (" before files/s | before MB |", "---|---|") if BEFORE else ("", "")
    print("| format | size in | nconvert files/s | vips resize files/s | nconvert MB | vips MB |"
          + extra[0])
    print("|---|---|---|---|---|---|" + extra[1])
    for kind, size, suffix in [k for k in KINDS if ONLY in k[0]]:
        files = [make(kind, size, suffix, i) for i in range(FILES)]
        ext = os.path.splitext(files[0])[1]
        total = dict.fromkeys(tools, 0.0)
        peak = dict.fromkeys(tools, 0.0)
        for _ in range(REPS):
            for src in files:
                dst = os.path.join(OUT, "out" + ext)
                commands = {
                    "nconvert": [NCONVERT, "-resize", "200%", "200%", "-o", dst, src],
                    "vips": ["vips", "resize", src, dst + suffix[len(ext):], "2"],
                    "before": [BEFORE, "-resize", "200%", "200%", "-o", dst, src],
                }
                for tool in tools:
                    seconds, mb = run(commands[tool])
                    total[tool] += seconds
                    peak[tool] = max(peak[tool], mb)
        n = FILES * REPS
        line = (f"| {kind} | {size} | {n / total['nconvert']:.2f} | {n / total['vips']:.2f} | "
                f"{peak['nconvert']:.0f} | {peak['vips']:.0f} |")
        if BEFORE:
            line += f" {n / total['before']:.2f} | {peak['before']:.0f} |"
        print(line)
    load = os.getloadavg()
    print(f"load average after: {load[0]:.1f} {load[1]:.1f} {load[2]:.1f}")


main()
