#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Small pictures, one process each, 200 %: this converter against an earlier build (BEFORE) and
# ImageMagick's convert, in one hyperfine run (medians; -N, no shell). Also a 1 MP JPEG and
# PNG of the corpus, before and after, to show nothing larger got slower.
# Usage: small.sh NEW BEFORE OUTDIR   (OUTDIR as made by run.sh). Environment: RUNS (default 40).
set -euo pipefail
new=$1 before=$2 out=$3
runs=${RUNS:-40}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nconvert-small.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
im=/usr/bin/convert-im6.q16 # the `convert` on PATH may be a wrapper adding its own start-up
cp "$out/tiny-64x48.jpg" "$out/icon-16x16-alpha.png" "$out/anim-32x32-2frames.gif" \
  "$out/corpus/c01-1mp.jpg" "$out/corpus/c06-1mp.png" "$scratch/"
cd "$scratch"
commands=()
names=()
for f in tiny-64x48.jpg icon-16x16-alpha.png anim-32x32-2frames.gif; do
  ext=${f##*.}
  commands+=("$new -resize 200% 200% -o new.$ext $f" "$before -resize 200% 200% -o old.$ext $f"
             "$im $f -resize 200% im.$ext")
  names+=("after $f" "before $f" "convert $f")
done
for f in c01-1mp.jpg c06-1mp.png; do
  ext=${f##*.}
  commands+=("$new -resize 200% 200% -o new.$ext $f" "$before -resize 200% 200% -o old.$ext $f")
  names+=("after $f" "before $f")
done
args=()
for i in "${!commands[@]}"; do
  args+=(-n "${names[$i]}" "${commands[$i]}")
done
hyperfine -N --warmup 5 --runs "$runs" --export-json "$scratch/small.json" "${args[@]}" >&2
python3 - "$scratch/small.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
print("| command | median ms | min ms | max ms |")
print("|---|---:|---:|---:|")
for r in results:
    print(f"| {r['command']} | {r['median'] * 1000:.1f} | {r['min'] * 1000:.1f} | {r['max'] * 1000:.1f} |")
PY
