#!/usr/bin/env bash
# The end scroller for a simulated hour on a fixed step keeps its memory flat: the peak resident size
# of a run to one demo time past the hour is compared with a run to a few minutes, both with the
# same start-up, so only what the scroller gathers over the hour counts.
#   long_scroller.sh <run dir> [step]
set -u
run_dir=$1
step=${2:-0.1}
short_end=200
long_end=3700  # the scroller starts at 98 s: more than an hour of it
allowed_kb=8192
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$run_dir" || exit 1

peak_kb() {  # runs velor-capture to time $1 and prints its peak resident size, as the kernel counts it
    # NOTE: sampling /proc while it runs misses the last growth of a short run and fails the
    # comparison by chance; the maximum resident size at exit is exact.
    /usr/bin/time -f '%M' -o "$out/peak" ./velor-capture --at "$1" --step "$step" --out "$out" 2>"$out/stderr" ||
        { echo "long_scroller: velor-capture to $1 s failed" >&2; cat "$out/stderr" >&2; return 1; }
    tail -n 1 "$out/peak"
}

short=$(peak_kb $short_end) || exit 1
long=$(peak_kb $long_end) || exit 1
echo "long_scroller: peak resident ${short} kB to ${short_end} s, ${long} kB to ${long_end} s (step $step)"
[ $((long - short)) -le $allowed_kb ] || { echo "long_scroller: memory grew by $((long - short)) kB over the hour"; exit 1; }
echo "long_scroller: ok"
