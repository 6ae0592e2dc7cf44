#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The image list with 100,000 rows: append and clear, against QTreeWidget.
# Usage: bench/imagelist/run.sh [build-dir] [rows] [rounds]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-${BUILD_DIR:-$root/build}}"
cmake --build "$build" --target quorvel_bench_imagelist -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bin/quorvel_bench_imagelist" "${2:-100000}" "${3:-5}"
