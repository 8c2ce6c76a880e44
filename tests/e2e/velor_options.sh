#!/usr/bin/env bash
# velor's options: --help and --version print and exit 0; a bad option (a framing that is not wide
# or 4:3, a monitor the machine does not have) gets one line and exit 2;
# --windowed WxH makes a framed window of that size; --mute never opens the sound; --from starts
# later and still quits on Escape.
#   velor_options.sh RUN_DIR
set -u
run_dir=$1
if [ -z "${VELOR_E2E_INNER:-}" ]; then
    export VELOR_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash "$0" "$@"
fi
. "$(dirname "$0")/find_window.sh"
cd "$run_dir" || exit 1
err=$(mktemp)
trap 'rm -f "$err"' EXIT
fail() { echo "velor_options: $*"; exit 1; }

./velor --help | grep -q '^usage: velor ' || fail "--help prints no usage"
./velor --version | grep -Eq '^velor [0-9]+\.[0-9]+\.[0-9]+$' || fail "--version prints no version"
# --display 9 is well formed, but this Xvfb has one monitor.
for bad in --bogus "--from" "--from soon" "--windowed 0x0" "--frame 5:4" "--display 9"; do
    # shellcheck disable=SC2086
    ./velor $bad >/dev/null 2>"$err"
    code=$?
    [ "$code" -eq 2 ] || fail "'$bad' exits $code, not 2"
    [ "$(grep -c . "$err")" -eq 1 ] && grep -q 'usage: velor' "$err" || fail "'$bad' prints: $(cat "$err")"
done

# Starts velor with the given options, waits for its window, checks its size, quits with Escape.
#   play EXPECTED_SIZE OPTIONS...
play() {
    local size=$1
    shift
    ./velor "$@" 2>"$err" &
    local pid=$!
    local window
    window=$(find_window "$pid" 30 --onlyvisible)
    [ -n "$window" ] || { kill -KILL "$pid"; fail "no window for $*: $(cat "$err")"; }
    sleep 1
    # A later start runs the schedule up to it first: wait for what the caller expects to see.
    if [ -n "${WAIT_FOR:-}" ]; then
        for _ in $(seq 1 300); do grep -q "$WAIT_FOR" "$err" && break; sleep 0.1; done
    fi
    local geometry
    geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
    [ "$geometry" = "$size" ] || { kill -KILL "$pid"; fail "$*: window $geometry, not $size"; }
    xdotool windowfocus --sync "$window" key --clearmodifiers Escape
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && { kill -KILL "$pid"; fail "$* still running after Escape"; }
    wait "$pid" || fail "$*: exit $?"
}

# An audio driver that does not exist: the music says why it is missing, unless muted.
export SDL_AUDIODRIVER=no-such-driver
play 640x480 --windowed 640x480
grep -q 'no music' "$err" || fail "without --mute the missing sound went unmentioned: $(cat "$err")"
play 1024x768 --windowed --mute
grep -q 'no music' "$err" && fail "--mute still opened the sound: $(cat "$err")"
WAIT_FOR='no music' play 1280x800 --from 20
grep -q 'no music' "$err" || fail "--from 20 never started the music: $(cat "$err")"
play 800x600 --windowed 800x600 --from 100 --mute
[ -s "$err" ] && fail "--from 100 --mute printed: $(cat "$err")"
echo "velor_options: ok"
