#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A whole "Start Enlarging" run of small JPEGs through the window, against the
# same converter started from a plain loop, and ImageMagick's convert from that
# loop. The window's waiting and bookkeeping should cost little next to the
# conversions themselves (at most 1.2x the plain loop).
# Usage: bench/enlarge/run.sh [build-dir] [files] [rounds]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-${BUILD_DIR:-$root/build}}"
cmake --build "$build" --target quorvel_bench_enlarge -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bin/quorvel_bench_enlarge" "${2:-1000}" "${3:-3}"
