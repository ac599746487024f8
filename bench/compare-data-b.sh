#!/usr/bin/env bash
# CSV to JSON against Miller and Markdown to HTML against the cmark-gfm command, on the same
# 10 MB files, with the Markdown table and JSON to CSV directions timed alongside (see
# lib-compare.sh for the ratio).
#   bench/compare-data-b.sh BUILD_DIR
set -euo pipefail
build=${1:-build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/lib-compare.sh"
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

compare_header
compare "CSV -> JSON" "$cli run --action JSONtoCSV --set Conversion=toJson --in $work/in.csv" \
    "mlr --icsv --ojson cat $work/in.csv"
compare "JSON -> CSV" "$cli run --action JSONtoCSV --set Conversion=toCSV --in $work/in.json" \
    "mlr --ijson --ocsv cat $work/in.json"
compare "CSV -> Markdown" "$cli run --action csvToMarkdown --in $work/in.csv" "mlr --icsv --omd cat $work/in.csv"
# No cmark-gfm option writes our indented page, so its row is listed under other bytes with the
# ratio still taken: it times the same parse plus its plain rendering against ours.
compare "Markdown -> HTML" "$cli run --action markdownToHtml --in $work/in.md" \
    "cmark-gfm --unsafe -e table -e strikethrough -e autolink -e tasklist $work/in.md"
