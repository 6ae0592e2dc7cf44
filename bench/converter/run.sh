#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The converter benchmark: builds the corpus generator, makes the corpus once, then times
# nconvert, `vips resize` and ImageMagick `convert` (bench.py). Takes a few minutes.
# Results: bench/out/converter/results.md. Environment: NCONVERT (path), REPS (default 3).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out="$root/bench/out/converter"
nconvert=${NCONVERT:-}
if [ -z "$nconvert" ]; then
  for candidate in "$root/build/bin/nconvert" "$root/build-conv/bin/nconvert"; do
    [ -x "$candidate" ] && { nconvert=$candidate; break; }
  done
fi
[ -x "${nconvert:-}" ] || { echo "converter bench: build nconvert first (make build)" >&2; exit 2; }
for tool in vips convert identify hyperfine python3 g++ pkg-config; do
  command -v "$tool" >/dev/null || { echo "converter bench: $tool missing (scripts/install-deps.sh --bench)" >&2; exit 2; }
done

mkdir -p "$out/corpus" "$out/quality"
if [ ! -x "$out/make_corpus" ] || [ "$here/make_corpus.cpp" -nt "$out/make_corpus" ]; then
  g++ -O2 -std=c++20 "$here/make_corpus.cpp" -o "$out/make_corpus" $(pkg-config --cflags --libs vips-cpp)
  rm -f "$out/corpus"/* "$out/quality"/* "$out"/*.jpg
fi
if [ ! -f "$out/big-7500x5000.jpg" ] || [ ! -f "$out/anim-32x32-2frames.gif" ] ||
   [ ! -f "$out/cores/bmp-2048x1536.bmp" ]; then
  echo "making the corpus..."
  "$out/make_corpus" "$out"
fi
echo "nconvert: $nconvert ($("$nconvert" --version))"
python3 "$here/bench.py" "$nconvert" "$out"
# Pictures this machine already holds, none made for the purpose.
python3 "$here/desktop.py" "$nconvert" | tee "$out/desktop.md"
