#!/usr/bin/env bash
# Without a display velor cannot make its window: it says why in one line and exits non-zero,
# never carrying on without a window or device.
set -u
cd "$1" || exit 1
err=$(mktemp)
trap 'rm -f "$err"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy timeout 20 ./velor 2>"$err"
code=$?
lines=$(grep -c . "$err")
echo "velor_no_display: exit $code, stderr: $(cat "$err")"
[ "$code" -ne 0 ] && [ "$code" -ne 124 ] && [ "$lines" -eq 1 ] && grep -q '^velor: ' "$err"
