#!/usr/bin/env bash
# velor's keys, pressed as real key events (xdotool) under Xvfb, observed through the line the player
# prints for each key it handles (demo time, and the music's position as the sound engine plays it)
# and through its screenshots:
#   - Space holds the frame (two screenshots a second apart are the same), the frame clock and the
#     music's position; after it the picture, the frame clock and the music move on;
#   - Right, Left and Home land within one frame of their target, the music on the landing frame;
#   - F12 writes the frame velor-capture writes at that time: paused at the start (Home), then
#     forward on the schedule's steps into window 2, after the demo had already played there;
#   - Alt+Enter and F11 make the window full screen and back.
#   velor_keys.sh RUN_DIR
set -u
run_dir=$1
if [ -z "${VELOR_E2E_INNER:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "velor_keys: xvfb-run is missing"; exit 77; }
    export VELOR_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash "$0" "$@"
fi
command -v xdotool >/dev/null || { echo "velor_keys: xdotool is missing"; exit 77; }
for tool in velor velor-capture; do
    [ -x "$run_dir/$tool" ] || { echo "velor_keys: $run_dir/$tool is not built"; exit 77; }
done
name=velor_keys
. "$(dirname "$0")/player_session.sh"
field() { sed -n "s/.* $2=\([^ ]*\).*/\1/p" <<<"$1"; }
# near A B TOLERANCE: |A - B| <= TOLERANCE
near() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= t) }'; }
geometry() { xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p'; }
frame=0.0166667
tol=0.000001

line 1 'key=start state=playing' >/dev/null  # the schedule has reached 20 s
sleep 1.5

# --- Space: the frame and the music hold.
key space
paused=$(line 1 'key=space state=paused')
key F12
shot1=$(line 1 '^velor: screenshot ' | awk '{print $3}')
sleep 1
key F12
shot2=$(line 2 '^velor: screenshot ' | awk '{print $3}')
key space
resumed=$(line 1 'key=space state=playing')
[ "$(field "$paused" time)" = "$(field "$resumed" time)" ] || fail "the frame moved while paused: $paused / $resumed"
near "$(field "$paused" clock)" "$(field "$resumed" clock)" 0.001 || fail "the frame clock moved while paused: $paused / $resumed"
[ "$(field "$paused" music)" = "$(field "$resumed" music)" ] || fail "the music moved while paused: $paused / $resumed"
cmp -s "$shot1" "$shot2" || fail "the picture changed while paused"
sleep 1
key F12
shot3=$(line 3 '^velor: screenshot ' | awk '{print $3}')
cmp -s "$shot2" "$shot3" && fail "the picture stands still after resuming"
key space
again=$(line 2 'key=space state=paused')
# Both went on from where they stood. (How far each went is not compared: SDL's dummy audio output,
# paced by a sleeping thread, falls behind the real clock on a loaded machine.)
awk -v a="$(field "$again" music)" -v b="$(field "$resumed" music)" 'BEGIN { exit !(a > b) }' \
    || fail "the music did not go on after resuming: $resumed / $again"
awk -v a="$(field "$again" clock)" -v b="$(field "$resumed" clock)" 'BEGIN { exit !(a > b + 0.5) }' \
    || fail "the frame clock did not go on after resuming: $resumed / $again"
key space
line 2 'key=space state=playing' >/dev/null

# --- Seeks: each lands within a frame of its target, the music on the landing frame.
check_seek() {  # KEY N TARGET-EXPRESSION (awk, of t: the time the seek left from)
    local name=$1 n=$2 expr=$3 from landed t target
    from=$(line "$n" "key=$name state=seeking")
    landed=$(line "$n" "key=$name state=landed")
    t=$(field "$from" time)
    target=$(awk -v t="$t" "BEGIN { x = $expr; printf \"%.6f\", (x < 0 ? 0 : x) }")
    awk -v l="$(field "$landed" time)" -v x="$target" -v f="$frame" -v e="$tol" \
        'BEGIN { exit !(l >= x - e && l <= x + f + e) }' || fail "$name from $t: landed at $(field "$landed" time), not within a frame of $target"
    near "$(field "$landed" music)" "$(field "$landed" time)" "$frame" || fail "$name: the music landed apart: $landed"
}
key Right
check_seek right 1 't + 5'
sleep 1
key Left
check_seek left 1 't - 5'
sleep 1
key Home
check_seek home 1 '0'

# --- F12 writes velor-capture's frame: paused, back at the start, then forward on the steps.
key space
line 3 'key=space state=paused' >/dev/null
key Home
check_seek home 2 '0'
for n in 2 3 4 5 6; do
    key Right
    check_seek right "$n" 't + 5'
done
landed=$(line 6 'key=right state=landed')
key F12
shot=$(line 4 '^velor: screenshot ' | awk '{print $3}')
# The player frames the picture wide by default: the screenshot is the 16:9 band, as a 16:9 capture is.
grep -q "^velor: screenshot $shot (1024x576)" "$out" || fail "the screenshot is not 1024x576: $(grep screenshot "$out")"
at=$(field "$landed" time)
mkdir "$tmp/capture"
./velor-capture --at "$at" --size 1024x576 --out "$tmp/capture" >/dev/null 2>"$tmp/capture.err" || fail "velor-capture --at $at failed: $(cat "$tmp/capture.err")"
reference=$(ls "$tmp/capture"/*.png)
cmp -s "$shot" "$reference" || fail "the screenshot at $at differs from velor-capture's frame $(basename "$reference")"

# --- Alt+Enter and F11: full screen and back.
[ "$(geometry)" = 1024x768 ] || fail "the window is $(geometry) before Alt+Enter"
key alt+Return
line 1 'key=fullscreen' >/dev/null
sleep 1
[ "$(geometry)" = 1280x800 ] || fail "Alt+Enter: the window is $(geometry), not the screen's 1280x800"
key F11
line 1 'key=window' >/dev/null
sleep 1
[ "$(geometry)" = 1024x768 ] || fail "F11: the window is $(geometry), not 1024x768 again"

key Escape
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "velor exited with $?"
pid=
echo "velor_keys: ok"
