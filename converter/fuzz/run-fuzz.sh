#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A short seeded libFuzzer run of the converter (about a minute). Exits non-zero on a crash,
# a sanitizer report or a timeout; the full log goes to BUILD_DIR/fuzz.log and any failing
# input to BUILD_DIR/fuzz-artifacts/. Usage: converter/fuzz/run-fuzz.sh BUILD_DIR [SECONDS]
set -uo pipefail
build_dir=${1:?usage: run-fuzz.sh BUILD_DIR [SECONDS]}
seconds=${2:-50}
here=$(cd "$(dirname "$0")" && pwd)
fuzzer="$build_dir/bin/nconvert_fuzz"
[ -x "$fuzzer" ] || { echo "run-fuzz.sh: $fuzzer not built (cmake --preset fuzz)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
log="$build_dir/fuzz.log"
# libvips keeps caches and thread-pool state for the life of the process: not leaks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
# New inputs go to the scratch corpus; the seeds in the repository stay untouched.
"$fuzzer" -seed=1 -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -max_len=16384 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
  "$work/corpus" "$here/corpus" >"$log" 2>&1
status=$?
grep -v '^"' "$log" | tail -n 15
if compgen -G "$work/artifacts/*" >/dev/null; then
  mkdir -p "$build_dir/fuzz-artifacts"
  cp "$work/artifacts"/* "$build_dir/fuzz-artifacts/"
  echo "run-fuzz.sh: failing inputs copied to $build_dir/fuzz-artifacts (log: $log)" >&2
  [ "$status" -ne 0 ] || status=1
fi
exit "$status"
