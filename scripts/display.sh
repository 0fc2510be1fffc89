# Sourced by the scripts: gives the caller a working X display, starting Xvfb when
# none is set or the one set does not answer. That Xvfb is stopped when the calling
# shell exits.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    WEXDAL_XVFB_PID=$!
    local num
    read -r num <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$num"
    trap 'kill "$WEXDAL_XVFB_PID" 2>/dev/null || true' EXIT
}
