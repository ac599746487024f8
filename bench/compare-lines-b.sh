#!/usr/bin/env bash
# Sorting, de-duplicating, line breaking and character removal by lexorra-cli beside the
# standard tools doing the same job, on the same 10 MB file, in one run.
#   bench/compare-lines-b.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
cli="$build/bin/lexorra-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

file="$work/prose.txt"
"$build/bin/bench-data" prose $((10 * 1024 * 1024)) "$file"
accented="$work/accented.txt"
"$build/bin/bench-data" accented $((10 * 1024 * 1024)) "$accented"
bytes=$(stat -c %s "$file")

# Pairs of (ours, theirs) commands; {} is the input file.
pairs=(
  "sort (locale)|$cli run --action reorderLines --set ReorderType=alphabetical --in {}|sort {}"
  "sort -V|$cli run --action reorderLines --set ReorderType=alphabetical --in {}|sort -V {}"
  "unique lines|$cli run --action removeDuplicates --in {}|awk '!seen[\$0]++' {}"
  "break at 20|$cli run --action breakLines --set ActionType=atMaxPosition --set Position=20 --in {}|fold -w 20 {}"
  "delete aeiou|$cli run --action removeCharacters --set CharactersForDelete=aeiou --in {}|tr -d aeiou < {}"
)

printf '%-14s %-9s %10s %10s %8s\n' "job" "text" "ours MB/s" "tool MB/s" "ratio"
for text in prose accented; do
  input=$file
  [ "$text" = accented ] && input=$accented
  for pair in "${pairs[@]}"; do
    IFS='|' read -r name ours theirs <<<"$pair"
    ours=${ours//\{\}/$input}
    theirs=${theirs//\{\}/$input}
    hyperfine --style none --warmup 1 --runs 5 --export-json "$work/r.json" \
      "$ours > /dev/null" "$theirs > /dev/null" >/dev/null 2>&1
    python3 - "$work/r.json" "$bytes" "$name" "$text" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
size = int(sys.argv[2]) / 1e6
# CPU time (user + system) rather than wall time: on a shared machine the wall clock
# mostly measures the other processes.
ours, theirs = (size / (r["user"] + r["system"]) for r in results)
print(f"{sys.argv[3]:<14} {sys.argv[4]:<9} {ours:10.1f} {theirs:10.1f} {ours / theirs:8.2f}")
PY
  done
done
echo "ratio = our throughput / the tool's (above 1: faster). CPU time, means of 5 runs; locale: ${LC_ALL:-${LANG:-unset}}."
