# Sourced by the window benchmarks (window-stalls.sh, long-line-stalls.sh), before and on the
# virtual screen.
#   prepare_window_run BUILD_DIR SEQUENCE_ID
#                          sets `app` (the window in BUILD_DIR) and `work` (a scratch folder,
#                          removed on exit, with the application's folders and settings that
#                          show SEQUENCE_ID and the text statistics)
#   start_window APP LOG   starts a window manager and APP with its stall watch writing to LOG;
#                          sets `pid` and `window`
#   longest_stall [SECONDS]
#                          waits, then prints the longest stall reported since the last call;
#                          called in a subshell, it does not move on past what it read
prepare_window_run() {
    local build=$1
    [[ $build == /* ]] || build="$PWD/$build"
    app="$build/bin/lexorra"
    [[ -x $app ]] || { echo "no $app: build the lexorra target first" >&2; exit 1; }
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/config/lexorra" "$work/data" "$work/run"
    chmod 700 "$work/run"
    cat >"$work/config/lexorra/settings.json" <<JSON
{"ActiveActionsSeq": "$2", "ViewTextInfo": true, "menuBarIcon": false, "welcomeScreenShown": true}
JSON
}

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
