#!/usr/bin/env bash
# Beautifying 10 MB of JSON and XML: lexorra-cli against jq, python3 -m json.tool and
# xmllint --format on the same files. Prints MB/s and how many times faster we are.
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

# Wall-clock MB/s, and the ratio on CPU time (user + system) too: on a shared machine the
# wall clock mostly measures the neighbours.
report() { # name file hyperfine-json
  python3 - "$@" <<'PY'
import json, os, sys
name, data, result = sys.argv[1], sys.argv[2], sys.argv[3]
mb = os.path.getsize(data) / 1e6
runs = json.load(open(result))["results"]
ours, ours_cpu = runs[0]["mean"], runs[0]["user"] + runs[0]["system"]
print(f"{name} ({mb:.1f} MB)")
for r in runs:
    cpu = r["user"] + r["system"]
    tool = r["command"].split(" ")[0].split("/")[-1]
    print(f"  {tool:<12} {r['mean']*1000:8.0f} ms {mb / r['mean']:7.1f} MB/s  (cpu {cpu*1000:6.0f} ms {mb / cpu:7.1f} MB/s)"
          f"  ours faster by {r['mean'] / ours:5.2f}x wall, {cpu / ours_cpu:5.2f}x cpu")
PY
}

hyperfine -N --warmup 1 --runs 5 --export-json "$tmp/json-times.json" \
  "$cli run --action JSON --in $tmp/data.json" \
  "jq . $tmp/data.json" \
  "python3 -m json.tool $tmp/data.json" >/dev/null
report "Beautify JSON" "$tmp/data.json" "$tmp/json-times.json"

hyperfine -N --warmup 1 --runs 5 --export-json "$tmp/xml-times.json" \
  "$cli run --action XML --in $tmp/data.xml" \
  "xmllint --format $tmp/data.xml" >/dev/null
report "Beautify XML" "$tmp/data.xml" "$tmp/xml-times.json"

hyperfine -N --warmup 1 --runs 3 --export-json "$tmp/xml2json-times.json" \
  "$cli run --action XMLtoJSON --in $tmp/data.xml" \
  "xmllint --format $tmp/data.xml" >/dev/null
report "XML -> JSON (against xmllint --format as a yardstick)" "$tmp/data.xml" "$tmp/xml2json-times.json"
