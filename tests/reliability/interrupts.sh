#!/usr/bin/env bash
# The working folder is the user's: in a folder that already holds files named like every pack entry,
# the demo is ended one way (normal end, a signal during start-up or while it runs, Escape during
# start-up) and must leave those files as they were, add nothing to the folder, and leave nothing in
# the temporary folder.
#   interrupts.sh <run dir> normal | startup-SIG | running-SIG | escape-startup      (SIG: INT TERM HUP)
set -u
run_dir=$1 how=$2
if [ "$how" = escape-startup ] && [ -z "${VELOR_E2E_INNER:-}" ]; then
    export VELOR_E2E_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash "$0" "$@"
fi
. "$(dirname "$0")/../e2e/find_window.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run" "$work/tmp" "$work/out"
cp -as "$run_dir"/. "$work/run"/
entries="fire.png skybox.x tree.x iskelet.x duvar.x sphere.x scroll.x tunnel.x ccube.x quad.x"
for e in $entries; do echo "the user's own $e" >"$work/run/$e"; done
cd "$work/run"
listing() { find . -printf '%p %s %y\n' | sort; }
before=$(listing)
export TMPDIR=$work/tmp SDL_AUDIODRIVER=dummy

fail() { echo "interrupts [$how]: $*"; echo "--- stderr ---"; cat "$work/stderr"; exit 1; }

wait_for_pack_folder() {  # until the private folder exists, or the process is gone
    for _ in $(seq 1 4000); do
        [ -n "$(ls -A "$work/tmp" 2>/dev/null)" ] && return 0
        kill -0 "$1" 2>/dev/null || return 1
        sleep 0.005
    done
    return 1
}

case $how in
normal)
    ./velor-capture --at 1 --out "$work/out" 2>"$work/stderr" || fail "velor-capture failed" ;;
startup-*|running-*)
    sig=${how#*-}
    # A background job of a script starts with SIGINT ignored; a user's terminal gives it the default.
    env --default-signal=INT,TERM,HUP ./velor-capture --at 100000 --step 0.05 --out "$work/out" 2>"$work/stderr" &
    pid=$!
    if [ "${how%%-*}" = startup ]; then
        wait_for_pack_folder "$pid" || fail "the private folder never appeared"
        held=$(ls -A "$work/tmp" | tr '\n' ' ')
        kill -s "$sig" "$pid"
        echo "interrupts [$how]: SIG$sig sent while the temporary folder held: $held"
    else
        wait_for_pack_folder "$pid" || fail "the private folder never appeared"
        # Running: the folder is gone once start-up has finished.
        for _ in $(seq 1 2000); do [ -z "$(ls -A "$work/tmp")" ] && break; sleep 0.01; done
        sleep 1
        kill -s "$sig" "$pid"
    fi
    timeout 60 tail --pid="$pid" -f /dev/null || { kill -KILL "$pid"; fail "still running a minute after SIG$sig"; }
    wait "$pid"
    echo "interrupts [$how]: exit status $?" ;;
escape-startup)
    ./velor 2>"$work/stderr" &
    pid=$!
    window=$(find_window "$pid" 20)
    [ -n "$window" ] || { kill -KILL "$pid"; fail "no window"; }
    xdotool windowfocus --sync "$window" key --clearmodifiers Escape 2>/dev/null
    [ -n "$(ls -A "$work/tmp")" ] && echo "interrupts [$how]: Escape pressed while the private folder existed"
    timeout 60 tail --pid="$pid" -f /dev/null || { kill -KILL "$pid"; fail "still running a minute after Escape"; }
    wait "$pid"
    code=$?
    [ "$code" -eq 0 ] || fail "exit status $code" ;;
*) echo "interrupts: unknown case $how"; exit 2 ;;
esac

[ "$(listing)" = "$before" ] || fail "the working folder changed: $(diff <(echo "$before") <(listing))"
for e in $entries; do
    [ "$(cat "$e")" = "the user's own $e" ] || fail "$e was overwritten"
done
[ -z "$(ls -A "$work/tmp")" ] || fail "left behind in the temporary folder: $(ls -A "$work/tmp")"
echo "interrupts [$how]: ok"
