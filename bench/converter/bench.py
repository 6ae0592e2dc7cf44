#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Times nconvert against `vips resize` and ImageMagick `convert -resize`, one process per file
as the window runs them, interleaved, and checks quality. Writes OUT/results.md and .json.

Usage: bench.py NCONVERT OUTDIR   (OUTDIR holds corpus/, big-7500x5000.jpg, the small pictures
and quality/ from make_corpus). Environment: REPS (default 3), FLOOR_ROUNDS (default 5),
NCONVERT_SYSTEM (a converter built with -DQUORVEL_SYSTEM_VIPS=ON, timed beside the others on
the small pictures), IM_CONVERT (ImageMagick's convert)."""
import json
import math
import os
import shutil
import statistics
import subprocess
import signal
import sys
import threading
import time

NCONVERT, OUT = sys.argv[1], sys.argv[2]
REPS = int(os.environ.get("REPS", "3"))
# ImageMagick takes minutes on the largest files (Debian's policy limits its memory, so it
# falls back to a disk cache): it runs in the first repetition only unless IM_REPS says more.
IM_REPS = int(os.environ.get("IM_REPS", "1"))
IM_BIG_TIMEOUT = int(os.environ.get("IM_BIG_TIMEOUT", "240"))
FLOOR_ROUNDS = int(os.environ.get("FLOOR_ROUNDS", "5"))
NCONVERT_SYSTEM = os.environ.get("NCONVERT_SYSTEM", "")
# ImageMagick's own program: a `convert` earlier on the PATH may be a wrapper (one is on our
# development machines) whose start-up would be charged to ImageMagick.
IM_CONVERT = os.environ.get("IM_CONVERT") or next(
    (p for p in ("/usr/bin/convert-im6.q16", "/usr/bin/convert") if os.access(p, os.X_OK)),
    "convert")
SCRATCH = os.path.join(OUT, "scratch")
os.makedirs(SCRATCH, exist_ok=True)


def run(cmd, timeout=None):
    """Wall seconds, peak RSS in MB and exit status of one process (and its children)."""
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    timer = None
    if timeout:
        timer = threading.Timer(timeout, lambda: os.kill(proc.pid, signal.SIGKILL))
        timer.start()
    err = proc.stderr.read().decode(errors="replace").strip()
    _, status, usage = os.wait4(proc.pid, 0)  # our own wait: it gives the peak RSS
    proc.returncode = 0  # reaped above; keep Popen from waiting again
    elapsed = time.perf_counter() - start
    if timer:
        timer.cancel()
    code = os.waitstatus_to_exitcode(status)
    if timeout and elapsed >= timeout:
        err = f"killed after {timeout} s"
    return {"s": elapsed, "mb": usage.ru_maxrss / 1024.0, "rc": code, "err": err[:200]}


def jpeg_quality(path):
    # ImageMagick's estimate, used to give vips the quality nconvert and convert keep.
    q = subprocess.run(["identify", "-format", "%Q", path], capture_output=True, text=True)
    return q.stdout.strip() or "75"


def commands(tool, src, dst, scale=200):
    ext = os.path.splitext(src)[1].lower()
    if tool in ("nconvert", "nconvert-system"):
        program = NCONVERT if tool == "nconvert" else NCONVERT_SYSTEM
        return [program, "-resize", f"{scale}%", f"{scale}%", "-o", dst, src]
    if tool == "vips":
        target = dst + (f"[Q={jpeg_quality(src)}]" if ext == ".jpg" else "")
        source = src + ("[n=-1]" if ext == ".gif" else "")  # every frame, as the others do
        return ["vips", "resize", source, target, str(scale / 100)]
    if tool == "convert":
        return [IM_CONVERT, src, "-resize", f"{scale}%", dst]
    raise ValueError(tool)


TOOLS = ["nconvert", "vips", "convert"]


def corpus_run():
    files = sorted(os.listdir(os.path.join(OUT, "corpus")))
    times = {t: {f: [] for f in files} for t in TOOLS}
    mems = {t: {f: 0.0 for f in files} for t in TOOLS}
    failures = []
    for rep in range(REPS):
        for i, f in enumerate(files):
            src = os.path.join(OUT, "corpus", f)
            order = TOOLS[(rep + i) % 3:] + TOOLS[:(rep + i) % 3]  # rotate who goes first
            for tool in order:
                if tool == "convert" and rep >= IM_REPS:
                    continue
                dst = os.path.join(SCRATCH, f"{tool}-{f}")
                r = run(commands(tool, src, dst))
                if os.path.exists(dst):
                    os.remove(dst)
                if r["rc"] != 0:
                    failures.append(f"{tool} {f}: exit {r['rc']} {r['err']}")
                    continue
                times[tool][f].append(r["s"])
                mems[tool][f] = max(mems[tool][f], r["mb"])
            print(f"  rep {rep + 1} {f}: " + ", ".join(
                f"{t} {times[t][f][-1]:.2f}s" for t in order if times[t][f]
                and (t != "convert" or rep < IM_REPS)), flush=True)
    medians = {t: {f: statistics.median(v) for f, v in times[t].items() if v} for t in TOOLS}
    return files, medians, mems, failures


def big_run():
    src = os.path.join(OUT, "big-7500x5000.jpg")
    results = {t: [] for t in TOOLS}
    for rep in range(REPS):
        for tool in (["nconvert", "vips"] if rep % 2 == 0 else ["vips", "nconvert"]):
            dst = os.path.join(SCRATCH, f"big-{tool}.jpg")
            results[tool].append(run(commands(tool, src, dst)))
            if os.path.exists(dst):
                os.remove(dst)
            print(f"  big rep {rep + 1} {tool}: {results[tool][-1]['s']:.2f}s "
                  f"{results[tool][-1]['mb']:.0f} MB rc={results[tool][-1]['rc']}", flush=True)
    # ImageMagick once: it needs gigabytes and Debian's policy refuses 15000 x 10000.
    dst = os.path.join(SCRATCH, "big-convert.jpg")
    results["convert"].append(run(commands("convert", src, dst), timeout=IM_BIG_TIMEOUT))
    print(f"  big convert: {results['convert'][-1]['s']:.2f}s {results['convert'][-1]['mb']:.0f} MB"
          f" rc={results['convert'][-1]['rc']} {results['convert'][-1]['err'][:100]}", flush=True)
    if os.path.exists(dst):
        os.remove(dst)
    return results


SMALL = ["tiny-64x48.jpg", "icon-16x16-alpha.png", "anim-32x32-2frames.gif"]


def floor_run():
    """Per-process cost of the small pictures: hyperfine blocks of 12 runs per tool, the tools'
    order rotated from block to block so that none always meets the machine in one state;
    medians over every run."""
    tools = ["nconvert", "convert", "vips"] + (["nconvert-system"] if NCONVERT_SYSTEM else [])
    export = os.path.join(SCRATCH, "floor.json")
    times = {(f, t): [] for f in SMALL for t in tools}
    cpu = {(f, t): [] for f in SMALL for t in tools}
    for rnd in range(FLOOR_ROUNDS):
        for f in SMALL:
            src = os.path.join(OUT, f)
            ext = os.path.splitext(f)[1]
            order = tools[rnd % len(tools):] + tools[:rnd % len(tools)]
            cmds = [" ".join(commands(t, src, os.path.join(SCRATCH, f"floor-{t}{ext}")))
                    for t in order]
            subprocess.run(["hyperfine", "-N", "--warmup", "3", "--runs", "12",
                            "--export-json", export] + cmds,
                           check=True, stdout=subprocess.DEVNULL)
            with open(export) as fh:
                for t, r in zip(order, json.load(fh)["results"]):
                    times[(f, t)] += r["times"]
                    cpu[(f, t)].append(r["user"] + r["system"])
        print(f"  floor round {rnd + 1}: " + ", ".join(
            f"{f.split('-')[0]} {t} {statistics.median(times[(f, t)]) * 1000:.1f}"
            for f in SMALL for t in tools[:2]), flush=True)
    return {f: {t: {"median": statistics.median(times[(f, t)]),
                    "min": min(times[(f, t)]),
                    "cpu": statistics.median(cpu[(f, t)]),
                    "runs": len(times[(f, t)])} for t in tools} for f in SMALL}


def psnr(a, b):
    d = os.path.join(SCRATCH, "d.v")
    sq = os.path.join(SCRATCH, "sq.v")
    subprocess.run(["vips", "subtract", a, b, d], check=True)
    subprocess.run(["vips", "multiply", d, d, sq], check=True)
    mse = float(subprocess.run(["vips", "avg", sq], capture_output=True, text=True,
                               check=True).stdout)
    return float("inf") if mse == 0 else 10 * math.log10(255 * 255 / mse)


def box_average(src, dst):
    """2 x 2 box average, rounded to nearest. `vips shrink` on 8-bit data rounds half up in
    each direction, which brightens the half-size picture by about half a grey level; a tool
    that darkens by the same amount (ImageMagick's Q16 output does) would then be rewarded. So
    the average is taken in float and rounded once."""
    f = os.path.join(SCRATCH, "box-f.v")
    s = os.path.join(SCRATCH, "box-s.v")
    r = os.path.join(SCRATCH, "box-r.v")
    subprocess.run(["vips", "cast", src, f, "float"], check=True)
    subprocess.run(["vips", "shrink", f, s, "2", "2"], check=True)
    subprocess.run(["vips", "round", s, r, "rint"], check=True)
    subprocess.run(["vips", "cast", r, dst, "uchar"], check=True)


def quality_run():
    rows = []
    qdir = os.path.join(OUT, "quality")
    for name in sorted(os.listdir(qdir)):
        orig = os.path.join(qdir, name)
        half = os.path.join(SCRATCH, "half-" + name)
        box_average(orig, half)
        outs = {
            "nconvert": [NCONVERT, "-resize", "200%", "200%", "-o", "{dst}", half],
            "vips resize": ["vips", "resize", half, "{dst}", "2"],
            "IM Lanczos": [IM_CONVERT, half, "-filter", "Lanczos", "-resize", "200%", "{dst}"],
            "IM default": [IM_CONVERT, half, "-resize", "200%", "{dst}"],
        }
        row = {"image": name}
        for label, cmd in outs.items():
            dst = os.path.join(SCRATCH, "up.png")
            subprocess.run([c.replace("{dst}", dst) for c in cmd], check=True)
            row[label] = psnr(orig, dst)
        rows.append(row)
        print("  quality " + ", ".join(f"{k} {v:.3f}" if k != "image" else v
                                       for k, v in row.items()), flush=True)
    return rows


def main():
    print("corpus (200 %, one process per file):", flush=True)
    files, medians, mems, failures = corpus_run()
    print("7500 x 5000 JPEG to 15000 x 10000:", flush=True)
    big = big_run()
    print("per-process cost of the small pictures:", flush=True)
    floor = floor_run()
    print("quality (box shrink 2x, enlarge 2x, PSNR against the original):", flush=True)
    quality = quality_run()
    shutil.rmtree(SCRATCH, ignore_errors=True)

    lines = ["# nconvert benchmark results", "",
             f"Machine: {os.cpu_count()} cores; {REPS} interleaved repetitions "
             f"(ImageMagick: {IM_REPS}); medians.", "",
             "## Mixed corpus, 200 %", "",
             "| file | nconvert s | vips s | convert s | nconvert MB | vips MB | convert MB |",
             "|---|---|---|---|---|---|---|"]
    total = {}
    # A tool left out of the run (IM_REPS=0) has no medians and does not narrow the files.
    ran = [t for t in TOOLS if medians[t]]
    complete = [f for f in files if all(f in medians[t] for t in ran)]
    for f in files:
        cells = [f"{medians[t][f]:.3f}" if f in medians[t] else "failed" for t in TOOLS]
        mcells = [f"{mems[t][f]:.0f}" for t in TOOLS]
        lines.append(f"| {f} | " + " | ".join(cells + mcells) + " |")
    for t in ran:
        total[t] = sum(medians[t][f] for f in complete)
    rate = {t: len(complete) / total[t] for t in ran if total[t] > 0}
    lines += ["", f"Files where every tool succeeded: {len(complete)} of {len(files)}.", "",
              "| tool | sum of medians s | files/s | nconvert speed-up |", "|---|---|---|---|"]
    for t in rate:
        lines.append(f"| {t} | {total[t]:.2f} | {rate[t]:.3f} | {rate['nconvert'] / rate[t]:.2f}x |")
    if failures:
        lines += ["", "Failures:", ""] + [f"- {x}" for x in sorted(set(failures))]
    lines += ["", "## 7500 x 5000 JPEG to 15000 x 10000", "",
              "| tool | median s | peak RSS MB | status |", "|---|---|---|---|"]
    for t in TOOLS:
        runs = big[t]
        ok = [r for r in runs if r["rc"] == 0]
        med = f"{statistics.median(r['s'] for r in ok):.2f}" if ok else "-"
        mem = f"{max(r['mb'] for r in runs):.0f}"
        status = "ok" if len(ok) == len(runs) else f"failed: {runs[-1]['err'][:120]}"
        lines.append(f"| {t} | {med} | {mem} | {status} |")
    tools = list(next(iter(floor.values())).keys())
    runs = next(iter(next(iter(floor.values())).values()))["runs"]
    lines += ["", f"## Per-process cost of small pictures, 200 % (hyperfine, {runs} runs each, "
              "interleaved)", "",
              "| picture | " + " | ".join(f"{t} median ms" for t in tools) +
              " | nconvert / convert | nconvert CPU ms | convert CPU ms |",
              "|---|" + "---|" * (len(tools) + 3)]
    for f, r in floor.items():
        lines.append(f"| {f} | " + " | ".join(f"{r[t]['median'] * 1000:.1f}" for t in tools) +
                     f" | {r['nconvert']['median'] / r['convert']['median']:.2f} | "
                     f"{r['nconvert']['cpu'] * 1000:.1f} | {r['convert']['cpu'] * 1000:.1f} |")
    worst = max(r["nconvert"]["median"] for r in floor.values())
    slower = [f for f, r in floor.items() if r["nconvert"]["median"] > r["convert"]["median"]]
    lines += ["", f"Slowest nconvert median: {worst * 1000:.1f} ms (target <= 10 ms); "
              + (f"slower than convert on: {', '.join(slower)}." if slower
                 else "no slower than convert on any of them.")]
    labels = ["nconvert", "vips resize", "IM Lanczos", "IM default"]
    lines += ["", "## Quality: PSNR dB (box shrink 2x, enlarge 2x, against the original)", "",
              "| image | " + " | ".join(labels) + " |", "|---|" + "---|" * len(labels)]
    for row in quality:
        lines.append(f"| {row['image']} | " + " | ".join(f"{row[l]:.3f}" for l in labels) + " |")
    means = {l: statistics.mean(r[l] for r in quality) for l in labels}
    lines.append("| mean | " + " | ".join(f"{means[l]:.3f}" for l in labels) + " |")
    lines += ["", f"nconvert - vips resize: {means['nconvert'] - means['vips resize']:+.3f} dB; "
              f"nconvert - IM Lanczos: {means['nconvert'] - means['IM Lanczos']:+.3f} dB."]
    text = "\n".join(lines) + "\n"
    with open(os.path.join(OUT, "results.md"), "w") as f:
        f.write(text)
    with open(os.path.join(OUT, "results.json"), "w") as f:
        json.dump({"medians": medians, "mems": mems, "big": big, "floor": floor,
                   "quality": quality, "failures": failures}, f, indent=1)
    print(text)


if __name__ == "__main__":
    main()
