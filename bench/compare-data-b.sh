#!/usr/bin/env bash
# CSV to JSON against Miller and Markdown to HTML against the cmark-gfm command, on the same
# 10 MB files, with the Markdown table and JSON to CSV directions timed alongside.
#   bench/compare-data-b.sh BUILD_DIR
set -euo pipefail
build=${1:-build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/bench-data" prose 10485760 "$work/prose.txt"
export LC_ALL=C.UTF-8

# A table of the prose: row number, first two words (without punctuation), word count, the
# line quoted.
awk 'BEGIN { print "id,first,second,count,text" }
     { line = $0; gsub(/"/, "\"\"", line); a = $1; b = $2; gsub(/[,.\"]/, "", a); gsub(/[,.\"]/, "", b)
       printf "%d,%s,%s,%d,\"%s\"\n", NR, a, b, NF, line }' \
  "$work/prose.txt" > "$work/in.csv"
# Prose with headings, list items, emphasis and paragraph breaks.
awk '{ if (NR % 10 == 0) printf "\n## %s\n\n", $0
       else if (NR % 7 == 0) printf "- *%s*\n", $0
       else if (NR % 5 == 0) printf "%s\n\n", $0
       else print }' "$work/prose.txt" > "$work/in.md"
cli="$build/bin/lexorra-cli"
"$cli" run --action JSONtoCSV --set Conversion=toJson --in "$work/in.csv" --out "$work/in.json"

run() { # job, input file, then name/command pairs; the first pair is ours
  local job=$1 input=$2
  shift 2
  local args=()
  while (($#)); do
    args+=(-n "$1" "$2")
    shift 2
  done
  echo "$input" > "$work/$job.input"
  hyperfine --warmup 1 --runs 5 --export-json "$work/$job.json" "${args[@]}" >/dev/null
}

run csv-to-json "$work/in.csv" \
  lexorra "$cli run --action JSONtoCSV --set Conversion=toJson --in $work/in.csv --out $work/o1" \
  mlr "mlr --icsv --ojson cat $work/in.csv > $work/o2"
run json-to-csv "$work/in.json" \
  lexorra "$cli run --action JSONtoCSV --set Conversion=toCSV --in $work/in.json --out $work/o1" \
  mlr "mlr --ijson --ocsv cat $work/in.json > $work/o2"
run csv-to-markdown "$work/in.csv" \
  lexorra "$cli run --action csvToMarkdown --in $work/in.csv --out $work/o1" \
  mlr "mlr --icsv --omd cat $work/in.csv > $work/o2"
run markdown "$work/in.md" \
  lexorra "$cli run --action markdownToHtml --in $work/in.md --out $work/o1" \
  cmark-gfm "cmark-gfm --unsafe -e table -e strikethrough -e autolink -e tasklist $work/in.md > $work/o2"

python3 - "$work" <<'PY'
import json, os, sys
work = sys.argv[1]
for job in ("csv-to-json", "json-to-csv", "csv-to-markdown", "markdown"):
    mb = os.path.getsize(open(os.path.join(work, job + ".input")).read().strip()) / 1e6
    results = {r["command"]: r["mean"] for r in json.load(open(os.path.join(work, job + ".json")))["results"]}
    ours = results["lexorra"]
    line = f"{job:16s} lexorra {mb / ours:7.1f} MB/s"
    for name, mean in results.items():
        if name != "lexorra":
            line += f" | {name} {mb / mean:7.1f} MB/s (ratio {mean / ours:5.2f}x)"
    print(line)
PY
