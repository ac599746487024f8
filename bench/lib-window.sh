# Sourced on the virtual screen by the window benchmarks (window-stalls.sh, long-line-stalls.sh).
#   start_window APP LOG   starts a window manager and APP with its stall watch writing to LOG;
#                          sets `pid` and `window`
#   longest_stall [SECONDS]
#                          waits, then prints the longest stall reported since the last call;
#                          called in a subshell, it does not move on past what it read
start_window() {
    log=$2
    icewm >/dev/null 2>&1 &
    LEXORRA_STALL_WATCH=1 "$1" >/dev/null 2>"$log" &
    pid=$!
    window=$(xdotool search --sync --name '^Lexorra$' | head -1)
    sleep 3
    seen=0
}

longest_stall() {
    sleep "${1:-0.3}"
    local total; total=$(wc -l <"$log")
    sed -n "$((seen + 1)),${total}p" "$log" | awk '/stalled/ { if ($5 > m) m = $5 } END { print m + 0 }'
    seen=$total
}
