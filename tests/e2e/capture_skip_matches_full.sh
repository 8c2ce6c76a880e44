#!/usr/bin/env bash
# A frame written after frames that skipped rasterisation is the frame of a run that drew every
# frame, in every scene window: whatever the demo carries from frame to frame lives on the CPU.
# Same pixels make the same PNG bytes, so the files are compared whole.
set -eu
run_dir=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$run_dir"
times=2,21,34,58,77,99.5
step=0.5  # coarse, so the run that draws every frame stays short
./velor-capture --at $times --step $step --out "$out/skipped"
./velor-capture --at $times --step $step --out "$out/full" --rasterize-all
status=0
for t in ${times//,/ }; do
    name=$(printf 't%.3f.png' "$t")
    if ! cmp -s "$out/skipped/$name" "$out/full/$name"; then
        echo "capture_skip_matches_full: $name differs from the full run"
        status=1
    fi
done
[ $status -eq 0 ] && echo "capture_skip_matches_full: ok"
exit $status
