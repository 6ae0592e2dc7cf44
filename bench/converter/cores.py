#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Every core against one: times nconvert at 200 % with the cores it may use, held to one core
(`taskset -c` on the first usable CPU, and again on the last), and `vips resize 2`, interleaved
per repetition so that the load of a shared machine falls on all alike. Prints a Markdown table
of medians (wall, CPU, peak memory) and the load average before and after. The CPUs of a virtual
machine need not be equal (here the second ran vector arithmetic a third slower than the
first), so the ratio is given against the first CPU's time and against the mean of both.

Usage: cores.py NCONVERT FILE...   Environment: REPS (default 7), BEFORE (another build of
nconvert, timed the same two ways beside it). The pictures of each kind: make_corpus (run.sh
makes them) writes big-7500x5000.jpg and cores/ in bench/out/converter."""
import os
import statistics
import subprocess
import sys
import time

NCONVERT, FILES = sys.argv[1], sys.argv[2:]
REPS = int(os.environ.get("REPS", "7"))
BEFORE = os.environ.get("BEFORE", "")
SCRATCH = os.path.join(os.path.dirname(os.path.abspath(FILES[0])), "cores-scratch")


def run(cmd):
    """Wall seconds, CPU seconds and peak RSS in MB of one process."""
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    err = proc.stderr.read().decode(errors="replace").strip()
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = 0  # reaped above
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(cmd)}: {err}")
    return (time.perf_counter() - start, usage.ru_utime + usage.ru_stime,
            usage.ru_maxrss / 1024.0)


def main():
    os.makedirs(SCRATCH, exist_ok=True)
    load = os.getloadavg()
    print(f"load average before: {load[0]:.2f} {load[1]:.2f} {load[2]:.2f}; "
          f"{os.cpu_count()} CPUs, {len(os.sched_getaffinity(0))} usable; {REPS} repetitions\n")
    extra = " before all s | before one s | before all CPU s | before one CPU s |" if BEFORE else ""
    cpus = sorted(os.sched_getaffinity(0))
    first, last = str(cpus[0]), str(cpus[-1])
    print(f"| file | all cores s | one core s (CPU {first}) | ratio | one core s (CPU {last}) | "
          "ratio to the mean | vips resize s | vips / all | "
          "all CPU s | one CPU s | all MB | one MB | vips MB |" + extra)
    print("|---" * (13 + (4 if BEFORE else 0)) + "|")
    for path in FILES:
        out = os.path.join(SCRATCH, "out" + os.path.splitext(path)[1])
        variants = {
            "all": [NCONVERT, "-resize", "200%", "200%", "-o", out, path],
            "one": ["taskset", "-c", first, NCONVERT, "-resize", "200%", "200%", "-o", out, path],
            "one-last": ["taskset", "-c", last, NCONVERT, "-resize", "200%", "200%", "-o", out,
                         path],
            "vips": ["vips", "resize", path, out, "2"],
        }
        if BEFORE:
            variants["before-all"] = [BEFORE] + variants["all"][1:]
            variants["before-one"] = variants["one"][:3] + [BEFORE] + variants["one"][4:]
        results = {name: [] for name in variants}
        for _ in range(REPS):
            for name, cmd in variants.items():
                results[name].append(run(cmd))
        med = {name: [statistics.median(r[i] for r in runs) for i in range(3)]
               for name, runs in results.items()}
        a, o, v, ol = med["all"], med["one"], med["vips"], med["one-last"]
        mean = (o[0] + ol[0]) / 2
        print(f"| {os.path.basename(path)} | {a[0]:.3f} | {o[0]:.3f} | {a[0] / o[0]:.2f} | "
              f"{ol[0]:.3f} | {a[0] / mean:.2f} | "
              f"{v[0]:.3f} | {v[0] / a[0]:.2f} | {a[1]:.3f} | {o[1]:.3f} | {a[2]:.0f} | "
              f"{o[2]:.0f} | {v[2]:.0f} |", end="")
        if BEFORE:
            ba, bo = med["before-all"], med["before-one"]
            print(f" {ba[0]:.3f} | {bo[0]:.3f} | {ba[1]:.3f} | {bo[1]:.3f} |", end="")
        print()
    load = os.getloadavg()
    print(f"\nload average after: {load[0]:.2f} {load[1]:.2f} {load[2]:.2f}")


main()
