#!/usr/bin/env bash
# velor.exe --windowed under Wine opens its window, keeps playing, and exits 0 after Escape. The time
# it takes is printed; the limit is a hang guard, not a speed check (Wine's process teardown on a
# shared, loaded machine takes seconds). Run by wine_session.sh.
set -u
wine "$VELOR_WIN_DIR/velor.exe" --windowed >velor.log 2>&1 &
pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)
if [ -z "$window" ]; then
    cat velor.log
    echo "velor_windowed_escape: no window appeared for velor.exe"
    kill -KILL "$pid" 2>/dev/null
    exit 1
fi
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
sleep 2  # plays for a while
if ! kill -0 "$pid" 2>/dev/null; then
    cat velor.log
    echo "velor_windowed_escape: velor.exe ended by itself"
    exit 1
fi
if [ "$geometry" != "1024x768" ]; then
    echo "velor_windowed_escape: the window is $geometry, not 1024x768"
    kill -KILL "$pid"
    exit 1
fi
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers Escape
sent=$(date +%s%N)
while kill -0 "$pid" 2>/dev/null && [ $(( ($(date +%s%N) - sent) / 1000000 )) -lt 10000 ]; do
    sleep 0.05
done
took=$(( ($(date +%s%N) - sent) / 1000000 ))
if kill -0 "$pid" 2>/dev/null; then
    cat velor.log
    echo "velor_windowed_escape: velor.exe still running 10 s after Escape"
    kill -KILL "$pid"
    exit 1
fi
wait "$pid"
code=$?
echo "velor_windowed_escape: a ${geometry} window; velor.exe exited with $code ${took} ms after Escape"
[ "$code" -eq 0 ]
