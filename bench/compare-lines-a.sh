#!/usr/bin/env bash
# Numbering, trimming, prefixing and space collapsing on the same 10 MB file: lexorra-cli
# against nl, awk, sed and tr, each in its fastest configuration that gives our bytes (see
# lib-compare.sh).
#   bench/compare-lines-a.sh BUILD_DIR
set -euo pipefail
build=${1:-build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/lib-compare.sh"
"$build/bin/bench-data" prose 10485760 "$work/in.txt"
# Indent some lines and double some spaces so trimming and collapsing have work to do.
sed -i -e '0~3s/^/   /' -e '0~5s/ /    /g' "$work/in.txt"
cli="$build/bin/lexorra-cli"
in=$work/in.txt

compare_header
compare numbering "$cli run --action numberLines --in $in" \
    "LC_ALL=C nl -ba -nrz -w3 -s. $in" "LC_ALL=C awk '{printf \"%03d.%s\\n\", NR, \$0}' $in"
compare trimming "$cli run --action trimLines --in $in" \
    "LC_ALL=C sed -E 's/^[[:space:]]+//;s/[[:space:]]+\$//' $in" \
    "LC_ALL=C.UTF-8 sed -E 's/^[[:space:]]+//;s/[[:space:]]+\$//' $in"
compare prefix "$cli run --action addPrefix --set 'Prefix=> ' --in $in" \
    "LC_ALL=C sed '/./s/^/> /' $in" "LC_ALL=C.UTF-8 sed '/./s/^/> /' $in"
compare spaces "$cli run --action removeMultipleSpaces --in $in" "LC_ALL=C tr -s ' ' < $in"
