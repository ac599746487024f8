#!/usr/bin/env bash
# Find and replace on the same 10 MB file: lexorra-cli against sed and perl, side by side.
#   bench/compare-replace.sh BUILD_DIR
set -euo pipefail
build=${1:-build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/bench-data" prose 10485760 "$work/in.txt"
cli="$build/bin/lexorra-cli"
if locale -a 2>/dev/null | grep -qi '^en_US.utf8$'; then export LC_ALL=en_US.UTF-8; else export LC_ALL=C.UTF-8; fi

hyperfine --warmup 1 --runs 5 --export-json "$work/literal.json" \
  -n lexorra "$cli run --action replaceString --set ReplaceString=fox --set WithString=cat --set CaseSensitive=true --in $work/in.txt --out $work/o1" \
  -n sed "sed 's/fox/cat/g' $work/in.txt > $work/o2" >/dev/null
cmp -s "$work/o1" "$work/o2" || echo "literal: outputs differ"

hyperfine --warmup 1 --runs 5 --export-json "$work/regex.json" \
  -n lexorra "$cli run --action replaceString --set 'ReplaceString=(\\d+)' --set 'WithString=[\$1]' --set isRegEx=true --set CaseSensitive=true --in $work/in.txt --out $work/o1" \
  -n sed "sed -E 's/([0-9]+)/[\\1]/g' $work/in.txt > $work/o2" \
  -n perl "perl -pe 's/(\\d+)/[\$1]/g' $work/in.txt > $work/o3" >/dev/null
cmp -s "$work/o1" "$work/o2" || echo "regex: outputs differ"

python3 - "$work" <<'PY'
import json, os, sys
work = sys.argv[1]
mb = os.path.getsize(os.path.join(work, "in.txt")) / 1e6
for job in ("literal", "regex"):
    results = {r["command"]: r["mean"] for r in json.load(open(os.path.join(work, job + ".json")))["results"]}
    ours = results["lexorra"]
    line = f"{job:8s} lexorra {mb / ours:7.1f} MB/s"
    for name, mean in results.items():
        if name != "lexorra":
            line += f" | {name} {mb / mean:7.1f} MB/s (ratio {mean / ours:5.2f}x)"
    print(line)
PY
