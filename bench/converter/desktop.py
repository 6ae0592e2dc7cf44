#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Pictures this machine already holds: PNG and GIF files under /usr/share (icon themes,
documentation images), none made for the purpose, chosen by this script, not by hand.

For each picture, 200 %, one process each: whether nconvert loaded libvips (seen from outside,
LD_DEBUG=files, no option of ours), and the wall time of nconvert against ImageMagick's convert,
both writing into the same folder. Then a 16 x 16 palette icon with tRNS, gAMA, cHRM, bKGD,
tIME and tEXt chunks, as ImageMagick writes icons, timed with hyperfine.

Usage: desktop.py NCONVERT [COUNT] [ROUNDS]"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

IM = "/usr/bin/convert-im6.q16"  # the `convert` on PATH may be a wrapper with its own start-up


def choose(count):
    found = []
    for top in ("/usr/share/icons", "/usr/share/pixmaps", "/usr/share/doc", "/usr/share/help",
                "/usr/share/gtk-doc", "/usr/share/qt6", "/usr/share/themes", "/usr/share/fonts"):
        for folder, _, names in os.walk(top):
            for name in names:
                path = os.path.join(folder, name)
                if name.lower().endswith((".png", ".gif")) and os.path.isfile(path) \
                        and not os.path.islink(path) and os.path.getsize(path) < 4 << 20:
                    found.append(path)
    found.sort()
    if len(found) <= count:
        return found
    step = len(found) / count
    return [found[int(i * step)] for i in range(count)]


def run(command, env=None):
    start = time.perf_counter()
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
    return time.perf_counter() - start, done


def main():
    nconvert = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    pictures = choose(count)
    out = tempfile.mkdtemp(prefix="nconvert-desktop.")
    loaded, failed = [], []
    env = dict(os.environ, LD_DEBUG="files")
    for i, path in enumerate(pictures):
        ext = os.path.splitext(path)[1]
        _, done = run([nconvert, "-resize", "200%", "200%", "-o", f"{out}/n{i}{ext}", path], env)
        if b"libvips-cpp" in done.stderr:
            loaded.append(path)
        if done.returncode != 0:
            failed.append((path, done.returncode))
    ours = {p: [] for p in pictures}
    theirs = {p: [] for p in pictures}
    for _ in range(rounds):
        for i, path in enumerate(pictures):
            ext = os.path.splitext(path)[1]
            t, _ = run([nconvert, "-resize", "200%", "200%", "-o", f"{out}/n{i}{ext}", path])
            ours[path].append(t)
            t, _ = run([IM, path, "-resize", "200%", f"{out}/m{i}{ext}"])
            theirs[path].append(t)
    ratios = [statistics.median(ours[p]) / statistics.median(theirs[p]) for p in pictures]
    our_median = statistics.median(statistics.median(v) for v in ours.values())
    their_median = statistics.median(statistics.median(v) for v in theirs.values())

    icon = os.path.join(out, "icon.png")
    subprocess.run([IM, "-size", "16x16", "xc:none", "-fill", "#c03030", "-draw",
                    "circle 8,8 8,2", "-fill", "#3050c0", "-draw", "rectangle 2,2 6,6",
                    f"PNG8:{icon}"], check=True)
    chunks = subprocess.run(["sh", "-c", f"strings -n 4 {icon} | grep -oE "
                             "'IHDR|PLTE|tRNS|gAMA|cHRM|bKGD|tIME|tEXt|IDAT' | sort -u | tr '\\n' ' '"],
                            capture_output=True, text=True).stdout
    js = os.path.join(out, "icon.json")
    subprocess.run(["hyperfine", "-N", "--warmup", "5", "--runs", "60", "--export-json", js,
                    f"{nconvert} -resize 200% 200% -o {out}/icon-n.png {icon}",
                    f"{IM} {icon} -resize 200% {out}/icon-m.png"],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    icon_ours, icon_theirs = (r["median"] for r in json.load(open(js))["results"])

    load = open("/proc/loadavg").read().split()[:3]
    print(f"## Pictures of this machine ({len(pictures)} PNG and GIF files under /usr/share)")
    print()
    print(f"Load average before the timings: {' '.join(load)}; {rounds} rounds, interleaved.")
    print()
    print("| figure | value |")
    print("|---|---|")
    print(f"| loaded libvips | {len(loaded)} of {len(pictures)} |")
    print(f"| refused | {len(failed)} |")
    print(f"| median time per file | {our_median * 1000:.1f} ms; ImageMagick {their_median * 1000:.1f} ms |")
    print(f"| median of the per-file ratios (ours / ImageMagick) | {statistics.median(ratios):.2f} |")
    print(f"| 16 x 16 palette icon ({chunks.strip()}) | {icon_ours * 1000:.1f} ms; ImageMagick "
          f"{icon_theirs * 1000:.1f} ms; ratio {icon_ours / icon_theirs:.2f} |")
    for path in loaded[:20]:
        print(f"- loaded libvips: {path}")
    for path, status in failed[:20]:
        print(f"- refused (status {status}): {path}")


if __name__ == "__main__":
    main()
