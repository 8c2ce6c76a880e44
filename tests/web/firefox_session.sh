#!/usr/bin/env bash
# Runs a command with what Firefox needs to draw and sound without a GPU or a sound card, both
# private to this run: an X display (Xvfb; headless Firefox has no WebGL2 there) and a PulseAudio
# server whose only output is a null sink (without a sound server Firefox's audio never starts).
#   firefox_session.sh COMMAND...
set -u
if [ -z "${VELOR_FIREFOX_INNER:-}" ]; then
    export VELOR_FIREFOX_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
runtime=$(mktemp -d)
HOME=$runtime XDG_RUNTIME_DIR=$runtime pulseaudio --daemonize=no -n --exit-idle-time=-1 --disable-shm=true \
    --log-target="file:$runtime/pulse.log" --load="module-null-sink sink_name=velor_null" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$runtime/native" &
pulse=$!
trap 'kill "$pulse" 2>/dev/null; wait "$pulse" 2>/dev/null; rm -rf "$runtime"' EXIT
for _ in $(seq 1 100); do [ -S "$runtime/native" ] && break; sleep 0.1; done
[ -S "$runtime/native" ] || { echo "firefox_session: the sound server did not start"; cat "$runtime/pulse.log"; exit 1; }
export PULSE_SERVER=unix:$runtime/native
"$@"
