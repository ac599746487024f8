#!/usr/bin/env bash
# Base64 and percent-encoding through lexorra-cli against the standard tools, on the same
# 10 MB text: prints MB/s of each and the ratio (ours / theirs; above 1 means faster), by wall
# clock and by CPU time. The command line holds the whole text in memory (several 10 MB
# buffers), which the streaming tools do not, so the end-to-end figure is mostly that cost;
# lexorra_bench's Base64*/Percent* rows time the codecs themselves.
#   bench/compare-chars-b.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
cli="$build/bin/lexorra-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bin/bench-data" prose 10485760 "$work/prose.txt"
base64 -w0 "$work/prose.txt" > "$work/prose.b64"
safe="-._~!\$&'()*+,;=:@/?"
python3 - "$work/prose.txt" "$work/prose.url" "$safe" <<'PY'
import sys, urllib.parse
text = open(sys.argv[1], encoding="utf-8").read()
open(sys.argv[2], "w", encoding="utf-8").write(urllib.parse.quote(text, safe=sys.argv[3]))
PY

# Our results must match the tools' byte for byte before any timing counts.
"$cli" run --action encodeDecode --in "$work/prose.txt" | cmp -s - "$work/prose.b64" || { echo "base64 encode differs"; exit 1; }
"$cli" run --action encodeDecode --set EncodeORDecode=decode --in "$work/prose.b64" | cmp -s - "$work/prose.txt" ||
  { echo "base64 decode differs"; exit 1; }
"$cli" run --action encodeDecode --set EncodingType=url --in "$work/prose.txt" | cmp -s - "$work/prose.url" ||
  { echo "url encode differs"; exit 1; }

compare() { # name input-file our-command their-command
  local name=$1 input=$2 ours=$3 theirs=$4
  hyperfine --warmup 2 --runs 10 --style none --export-json "$work/run.json" "$ours" "$theirs" >/dev/null
  python3 - "$work/run.json" "$input" "$name" <<'PY'
import json, os, sys
runs = json.load(open(sys.argv[1]))["results"]
mb = os.path.getsize(sys.argv[2]) / 1e6
ours, theirs = (mb / r["mean"] for r in runs)
# CPU time too: on a shared machine the wall clock mostly measures the neighbours.
ours_cpu, theirs_cpu = (mb / (r["user"] + r["system"]) for r in runs)
print(f"{sys.argv[3]:<14} wall: lexorra {ours:7.1f} MB/s, reference {theirs:7.1f} MB/s, ratio {ours / theirs:5.2f}"
      f" | cpu: lexorra {ours_cpu:7.1f} MB/s, reference {theirs_cpu:7.1f} MB/s, ratio {ours_cpu / theirs_cpu:5.2f}")
PY
}

compare "base64 encode" "$work/prose.txt" \
  "$cli run --action encodeDecode --in $work/prose.txt --out $work/out" \
  "base64 -w0 $work/prose.txt > $work/out"
compare "base64 decode" "$work/prose.b64" \
  "$cli run --action encodeDecode --set EncodeORDecode=decode --in $work/prose.b64 --out $work/out" \
  "base64 -d $work/prose.b64 > $work/out"
compare "url encode" "$work/prose.txt" \
  "$cli run --action encodeDecode --set EncodingType=url --in $work/prose.txt --out $work/out" \
  "python3 -c 'import sys,urllib.parse; sys.stdout.write(urllib.parse.quote(open(sys.argv[1]).read(), safe=sys.argv[2]))' $work/prose.txt \"$safe\" > $work/out"
compare "url decode" "$work/prose.url" \
  "$cli run --action encodeDecode --set EncodingType=url --set EncodeORDecode=decode --in $work/prose.url --out $work/out" \
  "python3 -c 'import sys,urllib.parse; sys.stdout.write(urllib.parse.unquote(open(sys.argv[1]).read()))' $work/prose.url > $work/out"
