#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Two builds of nconvert against each other on the benchmark corpus: one process per file at
200 %, interleaved (the order alternates per file and repetition), medians of wall time and of
CPU time (user + system, steadier than wall time on a shared machine), peak RSS.

Usage: ab.py OLD NEW OUTDIR   (OUTDIR as made by run.sh: corpus/, big-7500x5000.jpg).
Environment: REPS (default 7). Prints a Markdown table."""
import os
import statistics
import subprocess
import sys
import time

OLD, NEW, OUT = sys.argv[1], sys.argv[2], sys.argv[3]
REPS = int(os.environ.get("REPS", "7"))
SCRATCH = os.path.join(OUT, "scratch-ab")
os.makedirs(SCRATCH, exist_ok=True)
BUILDS = {"old": OLD, "new": NEW}


def run(program, src, dst):
    start = time.perf_counter()
    proc = subprocess.Popen([program, "-resize", "200%", "200%", "-o", dst, src],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = 0  # reaped above
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{program} failed on {src}")
    os.remove(dst)
    return time.perf_counter() - start, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024


files = [os.path.join("corpus", f) for f in sorted(os.listdir(os.path.join(OUT, "corpus")))]
files.append("big-7500x5000.jpg")
wall = {b: {f: [] for f in files} for b in BUILDS}
cpu = {b: {f: [] for f in files} for b in BUILDS}
mem = {b: {f: 0.0 for f in files} for b in BUILDS}
for rep in range(REPS):
    for i, f in enumerate(files):
        order = list(BUILDS) if (rep + i) % 2 == 0 else list(reversed(BUILDS))
        for b in order:
            dst = os.path.join(SCRATCH, b + "-" + os.path.basename(f))
            w, c, m = run(BUILDS[b], os.path.join(OUT, f), dst)
            wall[b][f].append(w)
            cpu[b][f].append(c)
            mem[b][f] = max(mem[b][f], m)
    print(f"rep {rep + 1} of {REPS}", file=sys.stderr, flush=True)

med = statistics.median
print("| file | old s | new s | new/old | old CPU s | new CPU s | new/old | old MB | new MB |")
print("|---|---|---|---|---|---|---|---|---|")
sums = {k: 0.0 for k in ("ow", "nw", "oc", "nc")}
for f in files:
    ow, nw, oc, nc = med(wall["old"][f]), med(wall["new"][f]), med(cpu["old"][f]), med(cpu["new"][f])
    if f.startswith("corpus"):
        for k, v in zip(("ow", "nw", "oc", "nc"), (ow, nw, oc, nc)):
            sums[k] += v
    print(f"| {os.path.basename(f)} | {ow:.3f} | {nw:.3f} | {nw / ow:.3f} | {oc:.3f} | {nc:.3f} |"
          f" {nc / oc:.3f} | {mem['old'][f]:.0f} | {mem['new'][f]:.0f} |")
print(f"| corpus, sum of medians | {sums['ow']:.2f} | {sums['nw']:.2f} | {sums['nw'] / sums['ow']:.3f} |"
      f" {sums['oc']:.2f} | {sums['nc']:.2f} | {sums['nc'] / sums['oc']:.3f} | | |")
