#!/usr/bin/env bash
# velor's information line (F1, Tab), pressed as real key events (xdotool) under Xvfb, with the
# player paused so the picture holds and only the line can change what is on screen:
#   - F1 shows the line at the window's top-left corner and nothing else changes; Tab hides it again
#     and the screen is as before (toggled while paused, so each toggle presents the held frame again);
#   - an F12 screenshot taken with the line on is byte for byte the one taken with it off.
# The screen is grabbed with ffmpeg's x11grab.
#   velor_info_line.sh RUN_DIR
set -u
run_dir=$1
if [ -z "${VELOR_E2E_INNER:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "velor_info_line: xvfb-run is missing"; exit 77; }
    export VELOR_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash "$0" "$@"
fi
command -v xdotool >/dev/null || { echo "velor_info_line: xdotool is missing"; exit 77; }
command -v python3 >/dev/null || { echo "velor_info_line: python3 is missing"; exit 77; }
ffmpeg -hide_banner -devices 2>/dev/null | grep -q x11grab || { echo "velor_info_line: ffmpeg with x11grab is missing"; exit 77; }
[ -x "$run_dir/velor" ] || { echo "velor_info_line: $run_dir/velor is not built"; exit 77; }
name=velor_info_line
. "$(dirname "$0")/player_session.sh"
# The whole screen as raw BGRX bytes, after the server has had time to show the last present.
grab() {
    sleep 0.5
    ffmpeg -loglevel error -y -f x11grab -video_size 1280x800 -i "$DISPLAY" -frames:v 1 -f rawvideo -pix_fmt bgr0 "$1" \
        || fail "ffmpeg could not grab the screen"
}
# differing A B: the bounding box of the pixels that differ, relative to the window: "x0 y0 x1 y1".
differing() {
    python3 - "$1" "$2" "$(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')" <<'PY'
import sys
a, b = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
wx, wy = (int(v) for v in sys.argv[3].split())
xs, ys = [], []
for i in range(0, len(a), 4):
    if a[i:i + 3] != b[i:i + 3]:
        xs.append((i // 4) % 1280 - wx)
        ys.append((i // 4) // 1280 - wy)
print(f"{min(xs)} {min(ys)} {max(xs)} {max(ys)}" if xs else "none")
PY
}

line 1 'key=start state=playing' >/dev/null
sleep 1.5
key space
line 1 'key=space state=paused' >/dev/null
grab "$tmp/off1"
grab "$tmp/off2"
cmp -s "$tmp/off1" "$tmp/off2" || fail "the paused screen changed by itself: the grabs cannot tell the line apart"
key F12
shot_off=$(line 1 '^velor: screenshot ' | awk '{print $3}')

key F1
line 1 'key=f1 state=paused' >/dev/null
grab "$tmp/on"
box=$(differing "$tmp/off1" "$tmp/on")
[ "$box" != none ] || fail "F1 changed nothing on the screen"
read -r x0 y0 x1 y1 <<<"$box"
# The line is a text box at the window's top-left corner, a few dozen pixels tall.
[ "$x0" -ge 0 ] && [ "$y0" -ge 0 ] && [ "$y1" -lt 60 ] && [ "$x1" -gt 100 ] && [ "$x1" -lt 1024 ] \
    || fail "F1 changed the screen outside a line at the top-left: $box"
key F12
shot_on=$(line 2 '^velor: screenshot ' | awk '{print $3}')
cmp -s "$shot_off" "$shot_on" || fail "the screenshot with the line on differs from the one with it off"

key Tab
line 1 'key=tab state=paused' >/dev/null
grab "$tmp/off3"
cmp -s "$tmp/off1" "$tmp/off3" || fail "Tab did not take the line away: $(differing "$tmp/off1" "$tmp/off3")"

key Escape
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "velor exited with $?"
pid=
echo "velor_info_line: ok"
