#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# "Add All File(s) In Folder" on 1,000 folders and 100,000 files against
# `find -type f` on the same tree; the tree is made under the temporary folder
# and removed afterwards.
# Usage: bench/folders/run.sh [build-dir] [files-per-folder] [rounds]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-${BUILD_DIR:-$root/build}}"
cmake --build "$build" --target quorvel_bench_folders -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$build/bin/quorvel_bench_folders" "${2:-100}" "${3:-5}"
