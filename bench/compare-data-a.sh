#!/usr/bin/env bash
# Beautifying 10 MB of JSON and XML: lexorra-cli against jq, python3 -m json.tool and
# xmllint --format on the same files (see lib-compare.sh for the ratio).
#   bench/compare-data-a.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
cli="$build/bin/lexorra-cli"
for tool in hyperfine jq xmllint python3; do
  command -v "$tool" >/dev/null || { echo "compare-data-a: $tool is missing (scripts/install-deps)" >&2; exit 1; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
work=$tmp
. bench/lib-compare.sh

"$build/bin/bench-data" prose $((10 * 1024 * 1024)) "$tmp/prose.txt"
# Records built from the prose lines: the same files go to every tool.
python3 - "$tmp" <<'PY'
import json, sys
from xml.sax.saxutils import escape, quoteattr
tmp = sys.argv[1]
lines = open(f"{tmp}/prose.txt", encoding="utf-8").read().split("\n")
target = 10 * 1024 * 1024
records, size, i = [], 0, 0
while size < target:
    line = lines[i % len(lines)]
    records.append({"id": i, "text": line, "score": i % 100 + 0.25, "ok": i % 2 == 1,
                    "url": f"https://example.org/{i}", "tags": ["a", "b", None]})
    size += len(line) + 110
    i += 1
with open(f"{tmp}/data.json", "w", encoding="utf-8") as f:
    json.dump(records, f, ensure_ascii=False, separators=(",", ":"))
with open(f"{tmp}/data.xml", "w", encoding="utf-8") as f:
    f.write('<?xml version="1.0" encoding="utf-8"?>\n<items>')
    for r in records:
        f.write(f'<item id={quoteattr(str(r["id"]))}><text>{escape(r["text"])}</text>'
                f'<score>{r["score"]}</score><tags><tag>a</tag><tag>b</tag></tags></item>')
    f.write("</items>\n")
PY

compare_header
compare "beautify JSON" "$cli run --action JSON --in $tmp/data.json" "jq . $tmp/data.json" \
    "python3 -m json.tool $tmp/data.json"
# xmllint writes the declaration that we leave out; without its first line the bytes are ours.
compare "beautify XML" "$cli run --action XML --in $tmp/data.xml" "xmllint --format $tmp/data.xml | tail -n +2" \
    "xmllint --format $tmp/data.xml"
# No tool converts XML to our JSON; xmllint's beautifying is a yardstick of reading the file.
compare "XML -> JSON" "$cli run --action XMLtoJSON --in $tmp/data.xml" "xmllint --format $tmp/data.xml"
