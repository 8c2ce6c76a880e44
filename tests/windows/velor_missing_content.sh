#!/usr/bin/env bash
# velor.exe without its content, started from a folder without it too: one line on stderr naming
# where it looked, the same text in an error box (closed here with Return, as a user would), exit 1.
# Run by wine_session.sh.
set -u
mkdir -p "bare copy" elsewhere
cp "$VELOR_WIN_DIR"/velor.exe "$VELOR_WIN_DIR"/*.dll "bare copy/"
cd elsewhere || exit 1
wine "../bare copy/velor.exe" --windowed >out.log 2>err.log &
pid=$!
box=$(timeout 60 xdotool search --sync --onlyvisible --name '^Velor$' 2>/dev/null | head -n 1)
if [ -z "$box" ]; then
    echo "velor_missing_content: no error box appeared"
    kill -KILL "$pid" 2>/dev/null
    status=1
else
    sleep 0.5
    xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus --sync "$box"
    xdotool key --clearmodifiers Return
    status=0
fi
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "velor_missing_content: velor.exe still running 10 s after its error box was closed"
    kill -KILL "$pid"
    exit 1
fi
wait "$pid"
code=$?
cat err.log
if [ "$code" -ne 1 ]; then
    echo "velor_missing_content: exit status $code, not 1"
    status=1
fi
if [ "$(grep -c . err.log)" -ne 1 ] || ! grep -q '^velor: no content (.*; name its folder with --data DIR' err.log; then
    echo "velor_missing_content: stderr is not the one line saying where it looked"
    status=1
fi
exit $status
