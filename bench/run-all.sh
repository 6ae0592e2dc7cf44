#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every benchmark: each bench/*/run.sh in turn. Benchmarks are run on demand, never in CI.
# Exits non-zero if any of them failed, after running all.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
failed=()
shopt -s nullglob
for script in "$here"/*/run.sh; do
  name=$(basename "$(dirname "$script")")
  echo "=== bench: $name"
  if ! bash "$script"; then
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed benchmarks: ${failed[*]}" >&2
  exit 1
fi
