#!/usr/bin/env bash
# Every action kind (the AI one aside) over a 10 MB input of the kind it reads, through
# lexorra-cli with its default options and a few notable ones: wall time and peak memory.
# These are the budgets the product stands by for big files.
#   bench/every-action.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: every-action.sh BUILD_DIR}
cli="$build/bin/lexorra-cli"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$build/bin/bench-data" prose $((10 * 1024 * 1024)) "$tmp/prose.txt"
python3 - "$tmp" <<'PY'
import csv, io, json, sys
from xml.sax.saxutils import escape, quoteattr
tmp = sys.argv[1]
lines = open(f"{tmp}/prose.txt", encoding="utf-8").read().split("\n")
target = 10 * 1024 * 1024
records, size, i = [], 0, 0
while size < target:
    line = lines[i % len(lines)]
    records.append({"id": i, "text": line, "score": i % 100 + 0.25, "ok": i % 2 == 1})
    size += len(line) + 60
    i += 1
with open(f"{tmp}/data.json", "w", encoding="utf-8") as f:
    json.dump(records, f, ensure_ascii=False, separators=(",", ":"))
with open(f"{tmp}/data.xml", "w", encoding="utf-8") as f:
    f.write('<?xml version="1.0" encoding="utf-8"?>\n<items>')
    for r in records:
        f.write(f'<item id={quoteattr(str(r["id"]))}><text>{escape(r["text"])}</text><score>{r["score"]}</score></item>')
    f.write("</items>\n")
with open(f"{tmp}/data.csv", "w", encoding="utf-8", newline="") as f:
    w = csv.writer(f)
    w.writerow(["id", "text", "score", "ok"])
    for r in records:
        w.writerow([r["id"], r["text"], r["score"], r["ok"]])
with open(f"{tmp}/data.md", "w", encoding="utf-8") as f:
    for n, line in enumerate(lines):
        if n % 20 == 0:
            f.write(f"\n## Part {n}\n\n")
        f.write(("- " if n % 7 == 0 else "") + line + ("  \n" if n % 3 else "\n\n"))
with open(f"{tmp}/dates.txt", "w", encoding="utf-8") as f:
    n = 0
    while f.tell() < target:
        f.write(f"Shipped 12/{n % 28 + 1:02d}/2023 at 10:{n % 60:02d}, paid 2024-01-{n % 28 + 1:02d}; ref {1700000000 + n}\n")
        n += 1
PY
# The YAML input is this program's own rendering of the JSON records.
"$cli" run --action yaml --set Conversion=toYAML --in "$tmp/data.json" --out "$tmp/data.yaml"
"$cli" run --action encryption --set Password=secret --in "$tmp/prose.txt" --out "$tmp/encrypted.txt"
"$cli" run --action encodeDecode --in "$tmp/prose.txt" --out "$tmp/base64.txt"

measure() { # label input cli-arguments...
  local label=$1 input=$2
  shift 2
  local stats status=0
  stats=$({ /usr/bin/time -f "%e %M" timeout 300 "$cli" run "$@" --in "$input" --out "$tmp/out" 2>&1 >/dev/null; } | tail -1) || status=$?
  local bytes
  bytes=$(stat -c %s "$tmp/out" 2>/dev/null || echo 0)
  if [[ $status -ne 0 ]]; then
    printf '%-44s %-13s failed (status %s)\n' "$label" "$(basename "$input")" "$status"
  else
    read -r seconds kilobytes <<<"$stats"
    awk -v l="$label" -v i="$(basename "$input")" -v s="$seconds" -v k="$kilobytes" -v b="$bytes" \
      'BEGIN { printf "%-44s %-13s %7.2f s %7.0f MB peak %9.1f MB out\n", l, i, s, k / 1024, b / 1048576 }'
  fi
}

p="$tmp/prose.txt"
printf '%-44s %-13s %9s %15s %16s\n' action input time memory output
measure "replaceString literal" "$p" --action replaceString --set ReplaceString=the --set WithString=THE
measure "replaceString regex" "$p" --action replaceString --set 'ReplaceString=(\w+)ing' --set 'WithString=$1ed' --set isRegEx=true
measure "replaceString ignoring case" "$p" --action replaceString --set ReplaceString=the --set WithString=a --set CaseSensitive=false
measure "addPrefix" "$p" --action addPrefix --set 'Prefix=> '
measure "addSuffix" "$p" --action addSuffix --set 'Suffix=;'
for order in 0 1 2 3 4; do measure "reorderLines ReorderType=$order" "$p" --action reorderLines --set ReorderType=$order; done
for t in 0 1 2 3 4 5 6 7 8 9 10 11; do measure "convertCase CaseType=$t" "$p" --action convertCase --set CaseType=$t; done
measure "numberLines" "$p" --action numberLines
measure "removeEmptyLines" "$p" --action removeEmptyLines
measure "removeLineBreaks" "$p" --action removeLineBreaks
measure "removeMultipleSpaces" "$p" --action removeMultipleSpaces
measure "trimLines" "$p" --action trimLines
measure "spellOutNumbers" "$tmp/dates.txt" --action spellOutNumbers
measure "deleteRows" "$p" --action deleteRows --set CheckText=the
measure "removeCharacters" "$p" --action removeCharacters --set CharactersForDelete=aeiou
measure "breakLines" "$p" --action breakLines --set 'CharacterForBreak=. '
measure "JSON beautify" "$tmp/data.json" --action JSON
measure "XML beautify" "$tmp/data.xml" --action XML
measure "incertText" "$p" --action incertText --set InsetText=x
measure "filterWords" "$p" --action filterWords --set CheckText=the
measure "encodeDecode base64 encode" "$p" --action encodeDecode
measure "encodeDecode base64 decode" "$tmp/base64.txt" --action encodeDecode --set EncodeORDecode=decode
measure "encodeDecode URL encode lines" "$p" --action encodeDecode --set EncodingType=url --set SeparatedLines=true
measure "encryption encrypt" "$p" --action encryption --set Password=secret
measure "encryption decrypt" "$tmp/encrypted.txt" --action encryption --set Password=secret --set EncryptionOrDecryption=decryption
for t in 0 1; do measure "removeDuplicates DuplicatesType=$t" "$p" --action removeDuplicates --set DuplicatesType=$t; done
measure "stats" "$p" --action stats
measure "csvToMarkdown" "$tmp/data.csv" --action csvToMarkdown --set FirstAsHeader=true
measure "textGenerator (defaults)" "$p" --action textGenerator
for t in 0 4 8; do measure "specialTransformations TransformationType=$t" "$p" --action specialTransformations --set TransformationType=$t; done
measure "generateQRCode" "$p" --action generateQRCode
measure "markdownToHtml" "$tmp/data.md" --action markdownToHtml
measure "yaml toJson" "$tmp/data.yaml" --action yaml --set Conversion=toJson
measure "yaml toYAML" "$tmp/data.json" --action yaml --set Conversion=toYAML
measure "JSONtoCSV toCSV" "$tmp/data.json" --action JSONtoCSV --set Conversion=toCSV
measure "JSONtoCSV toJson" "$tmp/data.csv" --action JSONtoCSV --set Conversion=toJson
measure "XMLtoJSON" "$tmp/data.xml" --action XMLtoJSON
for t in 0 1 2; do measure "shuffle ShuffleType=$t" "$p" --action shuffle --set ShuffleType=$t; done
for t in 0 1 2; do measure "dateConverter DateConverterType=$t" "$tmp/dates.txt" --action dateConverter --set DateConverterType=$t; done
measure "quotesConverter" "$p" --action quotesConverter
