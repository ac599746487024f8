#!/usr/bin/env bash
# How long the window's main thread stops with texts of one very long line, driven as a user
# drives it on a virtual screen: a 10 MB line pasted into the input and scrolled, a 10 MB
# one-line file handed to the running window, selected, deleted and brought back, and a run
# whose result is one 10 MB line (Base64 of 7.5 MB of lines). Prints the longest stall after
# each step, and the longest and median stall per scrolling key. Needs xvfb-run, icewm,
# xdotool and xclip.
#   bench/long-line-stalls.sh [BUILD_DIR] [SECONDS_TO_WAIT_PER_STEP]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
export WAIT=${2:-6}
. bench/lib-window.sh
# The active action: Encoder and Decoder, Base64 of the whole text.
prepare_window_run "$build" 30816b02-ed41-11ec-8ea0-0242ac120002
head -c 7500000 /dev/urandom | base64 -w0 >"$work/line.txt"
head -c 5600000 /dev/urandom | base64 -w76 >"$work/lines.txt"

XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run" USER="lexorra-stall-$$" \
xvfb-run -a -s "-screen 0 1400x900x24" bash -s "$app" "$work" "$PWD/bench/lib-window.sh" <<'SH'
set -euo pipefail
app=$1 work=$2
. "$3"
start_window "$app" "$work/stalls.log"
# The longest stall since the last call, into a file: not in a subshell, so that it moves on.
longest() { longest_stall "$@" >"$work/longest"; }
step() { # label keys...
    local label=$1; shift
    longest 1
    xdotool key "$@"
    longest "$WAIT"
    echo "$label: longest stall $(cat "$work/longest") ms"
}
keys() { # key count label
    : >"$work/keys"
    longest 1
    for ((i = 0; i < $2; i++)); do xdotool key "$1"; longest 0.25; cat "$work/longest" >>"$work/keys"; done
    sort -n "$work/keys" | awk -v label="$3" '{ v[NR] = $1 } END {
        printf "%d x %s: longest stall %d ms, median %d ms\n", NR, label, v[NR], v[int((NR + 1) / 2)] }'
}
xdotool windowactivate --sync "$window"
xdotool mousemove --window "$window" 600 200 click 1
xclip -selection clipboard -i "$work/line.txt"
step "paste of a 10 MB line" ctrl+v
keys Next 20 "Page Down in it"
keys Up 10 "Up in it"
longest 1
USER="$USER" "$app" "$work/line.txt" 2>/dev/null
longest "$WAIT"
echo "open of a 10 MB one-line file: longest stall $(cat "$work/longest") ms"
xdotool mousemove --window "$window" 600 200 click 1
step "Select All and Delete of it" ctrl+a Delete
step "Undo of that" ctrl+z
xclip -selection clipboard -i "$work/lines.txt"
step "paste of 7.5 MB of lines over it" ctrl+a ctrl+v
step "run giving a 10 MB one-line result" ctrl+r
xdotool mousemove --window "$window" 600 600 click 1
keys Next 20 "Page Down in the result"
step "Select All and Copy in the result" ctrl+a ctrl+c
kill "$pid"
SH
