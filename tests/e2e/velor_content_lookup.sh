#!/usr/bin/env bash
# Where velor and velor-capture find their content. Copies of both programs in a folder of their own,
# started from an empty folder, with no content anywhere they look: each names every folder it
# looked in on one line and exits 1 without opening a window. With --data naming the run folder,
# velor plays in a window (under Xvfb) and quits on Escape, and velor-capture writes its frame into
# the folder it was started from.
#   velor_content_lookup.sh RUN_DIR INSTALLED_DATA_DIR
set -u
run_dir=$(cd "$1" && pwd)
installed=$2
if [ -z "${VELOR_E2E_INNER:-}" ]; then
    export VELOR_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash "$0" "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "velor_content_lookup: $*"; exit 1; }
. "$(dirname "$0")/find_window.sh"
mkdir -p "$work/bin" "$work/empty"
cp "$run_dir/velor" "$run_dir/velor-capture" "$work/bin/"
cd "$work/empty" || exit 1

# The installed folder under the prefix the build was made for is looked at too: when this machine
# has the package installed there, "no content anywhere" cannot be set up.
if [ -e "$installed/data.xyz" ]; then
    echo "velor_content_lookup: $installed holds content: the no-content case is not checked"
    skip_missing=1
fi

if [ -z "${skip_missing:-}" ]; then
    for program in velor velor-capture; do
        args=()
        [ "$program" = velor-capture ] && args=(--at 1)
        timeout 20 "$work/bin/$program" "${args[@]}" >"$work/out" 2>"$work/err"
        code=$?
        [ "$code" -eq 1 ] || fail "$program without content exits $code, not 1: $(cat "$work/err")"
        [ "$(grep -c . "$work/err")" -eq 1 ] || fail "$program says more than one line: $(cat "$work/err")"
        for folder in "$work/empty" "$work/bin" "$work/share/velor" "$installed"; do
            grep -qF "$folder" "$work/err" || fail "$program does not say it looked in $folder: $(cat "$work/err")"
        done
        grep -q -- '--data' "$work/err" || fail "$program does not mention --data: $(cat "$work/err")"
        echo "  $program: $(cat "$work/err")"
    done
    [ -z "$(ls -A "$work/empty")" ] || fail "the empty folder gained files: $(ls -A "$work/empty")"
fi

# A --data folder without content is refused, even when the working folder holds it.
(cd "$run_dir" && timeout 20 "$work/bin/velor" --data "$work/empty" >/dev/null 2>"$work/err")
code=$?
[ "$code" -eq 1 ] && grep -qF "$work/empty" "$work/err" || fail "--data with no content: exit $code, $(cat "$work/err")"

# --data: velor plays in a window, quits on Escape, and says nothing (no missing file).
"$work/bin/velor" --windowed 640x480 --mute --data "$run_dir" 2>"$work/err" &
pid=$!
window=$(find_window "$pid" 30 --onlyvisible)
[ -n "$window" ] || { kill -KILL "$pid"; fail "no window with --data: $(cat "$work/err")"; }
sleep 2
xdotool windowfocus --sync "$window" key --clearmodifiers Escape
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && { kill -KILL "$pid"; fail "still running after Escape"; }
wait "$pid" || fail "velor --data exited $?: $(cat "$work/err")"
[ -s "$work/err" ] && fail "velor --data complained: $(cat "$work/err")"

# velor-capture's output names are the caller's, though it plays from the content's folder.
timeout 120 "$work/bin/velor-capture" --data "$run_dir" --at 0.5 --out frames 2>"$work/err" ||
    fail "velor-capture --data: $(cat "$work/err")"
[ -f "$work/empty/frames/t0.500.png" ] || fail "the frame is not in the folder velor-capture started in"
[ -e "$run_dir/frames" ] && fail "velor-capture wrote into the content's folder"
echo "velor_content_lookup: ok"
