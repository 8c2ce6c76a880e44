#!/usr/bin/env bash
# Runs a command with what Firefox needs to draw and sound without a GPU or a sound card, both
# private to this run: an X display (Xvfb; headless Firefox has no WebGL2 there) and a PulseAudio
# server whose only output is a null sink (without a sound server Firefox's audio never starts).
# Without Xvfb or PulseAudio it skips, as the page tests do without their browser.
#   firefox_session.sh COMMAND...
set -u
. "$(dirname "$0")/skip_or_fail.sh"
for tool in Xvfb pulseaudio; do
    command -v "$tool" >/dev/null || skip_or_fail "$tool is not installed (scripts/web --test installs it)"
done
runtime=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$runtime"
}
trap cleanup EXIT

# Xvfb writes its display number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$runtime/display" 2>"$runtime/xvfb.log" &
pids+=($!)
HOME=$runtime XDG_RUNTIME_DIR=$runtime pulseaudio --daemonize=no -n --exit-idle-time=-1 --disable-shm=true \
    --log-target="file:$runtime/pulse.log" --load="module-null-sink sink_name=velor_null" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$runtime/native" &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$runtime/display" ] && [ -S "$runtime/native" ] && break; sleep 0.1; done
[ -s "$runtime/display" ] || { echo "firefox_session: Xvfb did not start"; cat "$runtime/xvfb.log"; exit 1; }
[ -S "$runtime/native" ] || { echo "firefox_session: the sound server did not start"; cat "$runtime/pulse.log"; exit 1; }
export DISPLAY=:$(head -1 "$runtime/display") PULSE_SERVER=unix:$runtime/native
"$@"
