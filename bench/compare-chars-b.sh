#!/usr/bin/env bash
# Base64 and percent-encoding through lexorra-cli against the standard tools, on the same
# 10 MB text, each in its fastest configuration that gives our bytes (see lib-compare.sh).
# The command line holds the whole text in memory (several 10 MB buffers), which the
# streaming tools do not; lexorra_bench's Base64*/Percent* rows time the codecs themselves.
#   bench/compare-chars-b.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
cli="$build/bin/lexorra-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. bench/lib-compare.sh

"$build/bin/bench-data" prose 10485760 "$work/prose.txt"
base64 -w0 "$work/prose.txt" > "$work/prose.b64"
safe="-._~!\$&'()*+,;=:@/?"
python3 -c 'import sys, urllib.parse; sys.stdout.write(urllib.parse.quote(open(sys.argv[1]).read(), safe=sys.argv[2]))' \
    "$work/prose.txt" "$safe" > "$work/prose.url"

compare_header
compare "base64 encode" "$cli run --action encodeDecode --in $work/prose.txt" "base64 -w0 $work/prose.txt"
compare "base64 decode" "$cli run --action encodeDecode --set EncodeORDecode=decode --in $work/prose.b64" \
    "base64 -d $work/prose.b64"
compare "url encode" "$cli run --action encodeDecode --set EncodingType=url --in $work/prose.txt" \
    "python3 -c 'import sys,urllib.parse; sys.stdout.write(urllib.parse.quote(open(sys.argv[1]).read(), safe=sys.argv[2]))' $work/prose.txt \"$safe\""
compare "url decode" "$cli run --action encodeDecode --set EncodingType=url --set EncodeORDecode=decode --in $work/prose.url" \
    "python3 -c 'import sys,urllib.parse; sys.stdout.write(urllib.parse.unquote(open(sys.argv[1]).read()))' $work/prose.url"
