#!/usr/bin/env bash
# Runs the real velor in a bare X server and quits it the way a user would; passes when it exits
# with code 0 within a few seconds.
#   velor_quit.sh RUN_DIR escape|alt-f4|close|terminate|other-input-then-escape [X_CLOSE_WINDOW]
set -u
run_dir=$1
how=$2
closer=${3:-}

if [ -z "${VELOR_E2E_INNER:-}" ]; then
    export VELOR_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash "$0" "$@"
fi

. "$(dirname "$0")/find_window.sh"
cd "$run_dir" || exit 1
export SDL_AUDIODRIVER=dummy
./velor &
pid=$!
window=$(find_window "$pid" 20)
if [ -z "$window" ]; then
    echo "velor_quit: no window appeared for velor (pid $pid)"
    kill -KILL "$pid" 2>/dev/null
    exit 1
fi
sleep 1  # let a few frames run
# The borderless window covers the whole screen, window manager or not.
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
if [ "$geometry" != "1280x800" ]; then
    echo "velor_quit: the window is $geometry, not the screen's 1280x800"
    kill -KILL "$pid"
    exit 1
fi
case "$how" in
    other-input-then-escape)
        # Keys, characters and mouse moves change nothing: still running a second later.
        xdotool windowfocus --sync "$window" key a space Return F1 mousemove 100 100 mousemove 300 200
        sleep 1
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "velor_quit: velor ended on input other than Escape"
            exit 1
        fi
        xdotool key --clearmodifiers Escape ;;
    escape) xdotool windowfocus --sync "$window" key --clearmodifiers Escape ;;
    alt-f4) xdotool windowfocus --sync "$window" key alt+F4 ;;
    close) "$closer" "$window" ;;  # the close request a window manager's close button sends
    terminate) kill -TERM "$pid" ;;  # SDL turns SIGTERM into its quit event
    *) echo "velor_quit: unknown way to quit: $how"; kill -KILL "$pid"; exit 2 ;;
esac
for _ in $(seq 1 50); do
    if ! kill -0 "$pid" 2>/dev/null; then break; fi
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "velor_quit: velor still running 5 s after $how"
    kill -KILL "$pid"
    exit 1
fi
wait "$pid"
code=$?
echo "velor_quit: velor exited with $code after $how"
[ "$code" -eq 0 ]
