# Sourced by the compare-*.sh scripts. A comparison is only fair against the fastest way the
# other tool has of giving the same bytes (sed in the C locale, the case-insensitive flag when
# ours is case-insensitive), so every candidate runs once first and its output is compared with
# ours. The ratio is taken against the fastest candidate with equal output; the others (another
# pretty printer, a simpler rule, a locale that disagrees) are timed and listed for information.
#   compare NAME OURS CANDIDATE...
# Each command writes its result to standard output. Needs $work (a scratch folder).
# Prints our time, the fastest equal candidate's, and the ratio (theirs / ours; above 1 we are
# faster) by wall clock and by CPU time (user + system): on a shared machine the wall clock
# also measures the neighbours.

compare_runs=${COMPARE_RUNS:-5}

compare_header() {
    printf '%-26s %8s %8s %6s %6s  %s\n' "job" "ours ms" "other ms" "wall" "cpu" "other tool"
}

compare() {
    local name=$1 ours=$2
    shift 2
    local equal=() differ=() failed=()
    bash -c "$ours" >"$work/ours.out"
    for cmd in "$@"; do
        if ! bash -c "$cmd" >"$work/theirs.out" 2>/dev/null; then
            failed+=("$cmd")
        elif cmp -s "$work/ours.out" "$work/theirs.out"; then
            equal+=("$cmd")
        else
            differ+=("$cmd")
        fi
    done
    local args=()
    for cmd in "$ours" "${equal[@]}" "${differ[@]}"; do args+=("$cmd > $work/timed.out"); done
    hyperfine --style none --warmup 1 --runs "$compare_runs" --export-json "$work/compare.json" "${args[@]}" \
        >/dev/null 2>&1
    python3 - "$work" "$name" "${#equal[@]}" "${failed[@]}" <<'PY'
import json, sys
work, name, n_equal, failed = sys.argv[1] + "/", sys.argv[2], int(sys.argv[3]), sys.argv[4:]
runs = json.load(open(work + "compare.json"))["results"]
def cpu(r): return r["user"] + r["system"]
def label(r): return r["command"].rsplit(" > ", 1)[0].replace(work, "")
ours, equal, differ = runs[0], runs[1:1 + n_equal], runs[1 + n_equal:]
def row(first, r, note):
    mine = f"{ours['mean'] * 1e3:.1f}" if first else ""
    print(f"{first:<26} {mine:>8} {r['mean'] * 1e3:8.1f}"
          f" {r['mean'] / ours['mean']:6.2f} {cpu(r) / cpu(ours):6.2f}  {note}{label(r)}")
if equal:
    row(name, min(equal, key=lambda r: r["mean"]), "")
else:
    print(f"{name:<26} {ours['mean'] * 1e3:8.1f} {'-':>8} {'-':>6} {'-':>6}  no other tool gives the same bytes")
for r in differ:
    row("", r, "other bytes: ")
for cmd in failed:
    print(f"{'':<26} {'':8} {'':>8} {'':6} {'':6}  failed: {cmd.replace(work, '')}")
PY
}
