#!/usr/bin/env bash
# How long the window's main thread stops with a 10 MB input, driven as a user drives it on a
# virtual screen: keystrokes into an empty input (what the machine itself costs), a paste,
# keystrokes typed into the pasted text, then a file handed to the running window. Prints the
# longest stall after the paste and after the open, and the longest and median stall per
# keystroke. Needs xvfb-run, icewm, xdotool and xclip.
#   bench/window-stalls.sh [BUILD_DIR] [KEYSTROKES]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
keys=${2:-50}
. bench/lib-window.sh
# The statistics the window shows are counted from the input too.
prepare_window_run "$build" d46041a4-ed40-11ec-8ea0-0242ac120002
python3 - "$work" <<'PY'
import sys
words = "the quick brown fox jumps over a lazy dog while 42 cats sleep".split()
for name, size in (("paste.txt", 10_485_760), ("open.txt", 10_485_760)):
    out, n, i = [], 0, 0
    while n < size:
        line = " ".join(words[(i + k) % len(words)] for k in range(9)) + f" {i}\n"
        out.append(line); n += len(line); i += 1
    open(f"{sys.argv[1]}/{name}", "w").write("".join(out))
PY

XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run" USER="lexorra-stall-$$" \
xvfb-run -a -s "-screen 0 1400x900x24" bash -s "$app" "$work" "$keys" "$PWD/bench/lib-window.sh" <<'SH'
set -euo pipefail
app=$1 work=$2 keys=$3
. "$4"
start_window "$app" "$work/stalls.log"
longest() { longest_stall "$@"; }
longest 0 >/dev/null
xdotool windowactivate --sync "$window"
xdotool mousemove --window "$window" 600 200 click 1
# Typing into an empty input first: what the machine itself costs a keystroke.
type_keys() { # count label
    : >"$work/keys"
    local first=$((seen + 1)) i held
    for ((i = 0; i < $1; i++)); do
        xdotool key $([[ $((i % 5)) == 4 ]] && echo BackSpace || echo x)
        longest 0.25 >>"$work/keys"
    done
    # Stalls long enough to hold several keystrokes leave the windows after them empty: the
    # time stalled in stalls of 10 ms or more, over the keystrokes, tells those apart.
    held=$(sed -n "${first},${seen}p" "$log" | awk '/stalled/ && $5 >= 10 { t += $5 } END { print t + 0 }')
    sort -n "$work/keys" | awk -v held="$held" -v label="$2" '{ v[NR] = $1 } END {
        printf "%d keystrokes %s: longest stall %d ms, median %d ms, %.1f ms stalled per keystroke\n",
            NR, label, v[NR], v[int((NR + 1) / 2)], held / NR }'
}
type_keys "$keys" "into an empty input"
xdotool key ctrl+a Delete
xclip -selection clipboard -i "$work/paste.txt"
longest 1 >/dev/null
xdotool key ctrl+v
echo "paste of 10 MB: longest stall $(longest 4) ms"
xdotool key ctrl+End
longest 1 >/dev/null
type_keys "$keys" "at 10 MB"
USER="$USER" "$app" "$work/open.txt" 2>/dev/null
echo "open of a 10 MB file: longest stall $(longest 4) ms"
kill "$pid"
SH
