#!/usr/bin/env bash
# Numbering, trimming, prefixing and space collapsing on the same 10 MB file: lexorra-cli
# against nl, awk, sed and tr, side by side.
#   bench/compare-lines-a.sh BUILD_DIR
set -euo pipefail
build=${1:-build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/bench-data" prose 10485760 "$work/in.txt"
# Indent some lines and double some spaces so trimming and collapsing have work to do.
sed -i -e '0~3s/^/   /' -e '0~5s/ /    /g' "$work/in.txt"
cli="$build/bin/lexorra-cli"
export LC_ALL=C.UTF-8

run() { # job, then name/command pairs; the first pair is ours
  local job=$1
  shift
  local args=()
  while (($#)); do
    args+=(-n "$1" "$2")
    shift 2
  done
  hyperfine --warmup 1 --runs 5 --export-json "$work/$job.json" "${args[@]}" >/dev/null
}

run numbering \
  lexorra "$cli run --action numberLines --in $work/in.txt --out $work/o1" \
  nl "nl -ba -nrz -w3 -s. $work/in.txt > $work/o2" \
  awk "awk '{printf \"%03d.%s\\n\", NR, \$0}' $work/in.txt > $work/o3"
run trimming \
  lexorra "$cli run --action trimLines --in $work/in.txt --out $work/o1" \
  sed "sed -E 's/^[[:space:]]+//;s/[[:space:]]+\$//' $work/in.txt > $work/o2"
cmp -s "$work/o1" "$work/o2" || echo "trimming: outputs differ"
run prefix \
  lexorra "$cli run --action addPrefix --set 'Prefix=> ' --in $work/in.txt --out $work/o1" \
  sed "sed '/./s/^/> /' $work/in.txt > $work/o2"
cmp -s "$work/o1" "$work/o2" || echo "prefix: outputs differ"
run spaces \
  lexorra "$cli run --action removeMultipleSpaces --in $work/in.txt --out $work/o1" \
  tr "tr -s ' ' < $work/in.txt > $work/o2"
cmp -s "$work/o1" "$work/o2" || echo "spaces: outputs differ"

python3 - "$work" <<'PY'
import json, os, sys
work = sys.argv[1]
mb = os.path.getsize(os.path.join(work, "in.txt")) / 1e6
for job in ("numbering", "trimming", "prefix", "spaces"):
    results = {r["command"]: r["mean"] for r in json.load(open(os.path.join(work, job + ".json")))["results"]}
    ours = results["lexorra"]
    line = f"{job:10s} lexorra {mb / ours:7.1f} MB/s"
    for name, mean in results.items():
        if name != "lexorra":
            line += f" | {name} {mb / mean:7.1f} MB/s (ratio {mean / ours:5.2f}x)"
    print(line)
PY
