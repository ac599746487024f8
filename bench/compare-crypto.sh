#!/usr/bin/env bash
# Password encryption and decryption of 32 KB and 10 MB through lexorra-cli, beside
# `openssl enc -aes-256-cbc -pbkdf2 -iter 10000` on the same file (Base64 on one line).
# openssl derives one key where the message format needs two and adds no HMAC, so the
# ratio shows the format's cost as well as ours.
#   bench/compare-crypto.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: compare-crypto.sh BUILD_DIR}" && pwd)
cli="$build/bin/lexorra-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seconds() { # hyperfine's mean, in seconds
    python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["mean"])' "$1"
}

printf '%-22s %12s %12s %8s\n' "case" "lexorra MB/s" "openssl MB/s" "ratio"
for size in 32768 10485760; do
    "$build/bin/bench-data" prose "$size" "$work/plain"
    "$cli" run --action encryption --set Password=pw --in "$work/plain" --out "$work/ours.enc"
    openssl enc -aes-256-cbc -pbkdf2 -iter 10000 -md sha1 -a -A -pass pass:pw -in "$work/plain" -out "$work/theirs.enc"
    for direction in encrypt decrypt; do
        if [ "$direction" = encrypt ]; then
            ours="$cli run --action encryption --set Password=pw --in $work/plain --out $work/out1"
            theirs="openssl enc -aes-256-cbc -pbkdf2 -iter 10000 -md sha1 -a -A -pass pass:pw -in $work/plain -out $work/out2"
        else
            ours="$cli run --action encryption --set Password=pw --set EncryptionOrDecryption=1 --in $work/ours.enc --out $work/out1"
            theirs="openssl enc -d -aes-256-cbc -pbkdf2 -iter 10000 -md sha1 -a -A -pass pass:pw -in $work/theirs.enc -out $work/out2"
        fi
        hyperfine --warmup 1 --min-runs 5 --export-json "$work/ours.json" "$ours" >/dev/null 2>&1
        hyperfine --warmup 1 --min-runs 5 --export-json "$work/theirs.json" "$theirs" >/dev/null 2>&1
        if [ "$direction" = decrypt ]; then
            cmp -s "$work/out1" "$work/plain" || { echo "lexorra decryption differs from the input" >&2; exit 1; }
        fi
        python3 - "$size" "$direction" "$(seconds "$work/ours.json")" "$(seconds "$work/theirs.json")" <<'PY'
import sys
size, direction, ours, theirs = int(sys.argv[1]), sys.argv[2], float(sys.argv[3]), float(sys.argv[4])
mb = size / 1e6
label = f"{direction} {size // 1024} KB" if size < 1 << 20 else f"{direction} {size >> 20} MB"
print(f"{label:<22} {mb / ours:12.1f} {mb / theirs:12.1f} {theirs / ours:8.2f}")
PY
    done
done
echo "(ratio = openssl time / lexorra time; above 1 means lexorra is faster)"
