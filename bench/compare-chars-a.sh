#!/usr/bin/env bash
# Upper and lower case of the same 10 MB files by lexorra-cli, tr and GNU sed; prints MB/s and ratios.
#   bench/compare-chars-a.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: compare-chars-a.sh BUILD_DIR}
cli="$build/bin/lexorra-cli"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$build/bin/bench-data" prose 10485760 "$dir/prose.txt"
"$build/bin/bench-data" accented 10485760 "$dir/accented.txt"

seconds() { # mean seconds of a command, by hyperfine
  hyperfine --style none --warmup 1 --runs 5 --export-json "$dir/h.json" "$1" >/dev/null 2>&1
  python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["mean"])' "$dir/h.json"
}
mbps() { python3 -c 'import os,sys; print("%.0f" % (os.path.getsize(sys.argv[1]) / 1e6 / float(sys.argv[2])))' "$1" "$2"; }

for file in prose accented; do
  in="$dir/$file.txt"
  ours_up=$(seconds "$cli run --action convertCase --set CaseType=upperCase --in $in --out $dir/o1")
  ours_low=$(seconds "$cli run --action convertCase --set CaseType=lowerCase --in $in --out $dir/o2")
  tr_up=$(seconds "tr a-z A-Z < $in > $dir/o3")
  sed_up=$(seconds "sed 's/.*/\\U&/' $in > $dir/o4")
  sed_low=$(seconds "sed 's/.*/\\L&/' $in > $dir/o5")
  echo "$file 10 MB: upper lexorra $(mbps $in $ours_up) MB/s, tr $(mbps $in $tr_up) MB/s, sed \\U $(mbps $in $sed_up) MB/s;" \
       "lower lexorra $(mbps $in $ours_low) MB/s, sed \\L $(mbps $in $sed_low) MB/s"
  python3 -c 'import sys; o,t,s,ol,sl=map(float,sys.argv[1:]); print("  ratio upper: %.2fx tr, %.2fx sed; lower: %.2fx sed" % (t/o, s/o, sl/ol))' \
    "$ours_up" "$tr_up" "$sed_up" "$ours_low" "$sed_low"
done
