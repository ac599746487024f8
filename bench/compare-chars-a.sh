#!/usr/bin/env bash
# Upper and lower case of the same 10 MB files by lexorra-cli, tr and GNU sed, each in its
# fastest configuration that gives our bytes (see lib-compare.sh): tr and sed in the C locale
# agree with us on ASCII text only.
#   bench/compare-chars-a.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: compare-chars-a.sh BUILD_DIR}
cli="$build/bin/lexorra-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/lib-compare.sh"
"$build/bin/bench-data" prose 10485760 "$work/prose.txt"
"$build/bin/bench-data" accented 10485760 "$work/accented.txt"
utf8=C.UTF-8
locale -a 2>/dev/null | grep -qi '^en_US.utf8$' && utf8=en_US.UTF-8

compare_header
for file in prose accented; do
    in="$work/$file.txt"
    compare "upper case ($file)" "$cli run --action convertCase --set CaseType=upperCase --in $in" \
        "LC_ALL=C tr a-z A-Z < $in" "LC_ALL=C sed 's/.*/\\U&/' $in" "LC_ALL=$utf8 sed 's/.*/\\U&/' $in"
    compare "lower case ($file)" "$cli run --action convertCase --set CaseType=lowerCase --in $in" \
        "LC_ALL=C tr A-Z a-z < $in" "LC_ALL=C sed 's/.*/\\L&/' $in" "LC_ALL=$utf8 sed 's/.*/\\L&/' $in"
done
# Python capitalises after every non-letter ("Don'T"): the same job by a simpler rule, listed as such.
compare "title case (prose)" "$cli run --action convertCase --set CaseType=titleCase --in $work/prose.txt" \
    "python3 -c 'import sys; sys.stdout.write(open(sys.argv[1]).read().title())' $work/prose.txt"
