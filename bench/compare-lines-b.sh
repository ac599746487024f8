#!/usr/bin/env bash
# Sorting, de-duplicating, line breaking and character removal by lexorra-cli beside the
# standard tools doing the same job, on the same 10 MB files, each tool in its fastest
# configuration that gives our bytes (see lib-compare.sh).
#   bench/compare-lines-b.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
cli="$build/bin/lexorra-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. bench/lib-compare.sh
"$build/bin/bench-data" prose $((10 * 1024 * 1024)) "$work/prose.txt"
"$build/bin/bench-data" accented $((10 * 1024 * 1024)) "$work/accented.txt"
utf8=C.UTF-8
locale -a 2>/dev/null | grep -qi '^en_US.utf8$' && utf8=en_US.UTF-8

compare_header
for text in prose accented; do
    in="$work/$text.txt"
    compare "sort ($text)" "$cli run --action reorderLines --set ReorderType=alphabetical --in $in" \
        "LC_ALL=C sort $in" "LC_ALL=$utf8 sort $in"
    compare "sort -V ($text)" "$cli run --action reorderLines --set ReorderType=alphabetical --in $in" \
        "LC_ALL=C sort -V $in" "LC_ALL=$utf8 sort -V $in"
    compare "unique lines ($text)" "$cli run --action removeDuplicates --in $in" "LC_ALL=C awk '!seen[\$0]++' $in"
    compare "break at 20 ($text)" "$cli run --action breakLines --set ActionType=atMaxPosition --set Position=20 --in $in" \
        "LC_ALL=C fold -w 20 $in" "LC_ALL=$utf8 fold -w 20 $in"
    compare "delete aeiou ($text)" "$cli run --action removeCharacters --set CharactersForDelete=aeiou --in $in" \
        "LC_ALL=C tr -d aeiou < $in"
done
