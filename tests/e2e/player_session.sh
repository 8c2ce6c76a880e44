# Sourced by the scripts that drive the player with keys: starts `velor --windowed 1024x768 --from 20`
# in RUN_DIR under the caller's X display, with its screenshots going to a folder of the run's, and
# gives the caller:
#   $tmp, $out (velor's stdout: the line it prints for each key), $pid, $window
#   fail MESSAGE          says why with velor's lines, exits 1
#   key KEYS...           real key events to velor's window
#   line N PATTERN        the Nth line of $out matching PATTERN, once it is there
# The caller sets `name` (for its messages) and `run_dir`, and has checked its tools.
. "$(dirname "${BASH_SOURCE[0]}")/find_window.sh"
cd "$run_dir" || exit 1
tmp=$(mktemp -d)
pid=
cleanup() { [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$tmp"; }
trap cleanup EXIT
fail() { echo "$name: $*"; echo "--- velor's lines:"; cat "$tmp/out"; cat "$tmp/err"; exit 1; }

export SDL_AUDIODRIVER=dummy
export XDG_PICTURES_DIR=$tmp/shots
mkdir -p "$XDG_PICTURES_DIR"
out=$tmp/out
./velor --windowed 1024x768 --from 20 >"$out" 2>"$tmp/err" &
pid=$!
window=$(find_window "$pid" 30 --onlyvisible) || fail "no window appeared"
key() { xdotool windowfocus --sync "$window" key --clearmodifiers "$@"; }
line() {
    local l
    for _ in $(seq 1 300); do
        l=$(grep -E -- "$2" "$out" | sed -n "$1p")
        [ -n "$l" ] && { echo "$l"; return 0; }
        sleep 0.1
    done
    fail "no line $1 matching '$2'"
}
