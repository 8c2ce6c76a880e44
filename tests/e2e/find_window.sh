# Sourced by the scripts that drive the real program under X: find_window.
#
# xdotool search walks every window on the display, and a window destroyed while it looks (the
# program makes and drops a short-lived window or two as it starts its GL context) ends it with
# BadWindow and no answer, --sync or not. So the search is repeated until it names a window, the
# program has ended, or the time is up.
#   find_window PID SECONDS [SEARCH OPTIONS...]   prints the first window of PID; status 1 if none
find_window() {
    local pid=$1 seconds=$2 window
    shift 2
    local deadline=$((SECONDS + seconds))
    while [ "$SECONDS" -lt "$deadline" ]; do
        window=$(xdotool search "$@" --pid "$pid" 2>/dev/null | head -n 1)
        [ -n "$window" ] && { echo "$window"; return 0; }
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
