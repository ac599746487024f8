#!/usr/bin/env bash
# Find and replace on the same 10 MB file: lexorra-cli against sed and perl, side by side, each
# in its fastest configuration that gives our bytes (see lib-compare.sh).
#   bench/compare-replace.sh BUILD_DIR
set -euo pipefail
build=${1:-build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/lib-compare.sh"
"$build/bin/bench-data" prose 10485760 "$work/in.txt"
"$build/bin/bench-data" accented 10485760 "$work/accented.txt"
cli="$build/bin/lexorra-cli"
utf8=C.UTF-8
locale -a 2>/dev/null | grep -qi '^en_US.utf8$' && utf8=en_US.UTF-8

compare_header
# Case-insensitive is our default; sed's I flag is the same rule on ASCII text.
for text in in accented; do
    in="$work/$text.txt"
    compare "literal, any case ($text)" \
        "$cli run --action replaceString --set ReplaceString=fox --set WithString=cat --in $in" \
        "LC_ALL=C sed 's/fox/cat/gI' $in" "LC_ALL=$utf8 sed 's/fox/cat/gI' $in" "perl -pe 's/fox/cat/gi' $in"
done
compare "literal, exact case" \
    "$cli run --action replaceString --set ReplaceString=fox --set WithString=cat --set CaseSensitive=true --in $work/in.txt" \
    "LC_ALL=C sed 's/fox/cat/g' $work/in.txt" "LC_ALL=$utf8 sed 's/fox/cat/g' $work/in.txt" \
    "perl -pe 's/fox/cat/g' $work/in.txt"
compare "regex (\\d+) -> [\$1]" \
    "$cli run --action replaceString --set 'ReplaceString=(\\d+)' --set 'WithString=[\$1]' --set isRegEx=true --in $work/in.txt" \
    "LC_ALL=C sed -E 's/([0-9]+)/[\\1]/g' $work/in.txt" "LC_ALL=$utf8 sed -E 's/([0-9]+)/[\\1]/g' $work/in.txt" \
    "perl -pe 's/(\\d+)/[\$1]/g' $work/in.txt"
