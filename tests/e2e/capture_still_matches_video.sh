#!/usr/bin/env bash
# The frame at T is one frame of the run from 0, whichever way velor-capture is asked for it: the
# stills at 10 s and 10.01 s and the two frames of a video from 9.99 s to 10.02 s at 60 fps are
# frames 600 and 601 of the run (their summed times 10.0000191 s and 10.0166855 s), and have the
# same pixels, so the same PNG bytes. A video counting its frames from its own start, or a still
# chosen by another rule, would differ.
set -eu
run_dir=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$run_dir"
./velor-capture --at 10,10.01 --out "$out/still"
env PATH=/nonexistent ./velor-capture --video "$out/clip.mp4" --fps 60 --from 9.99 --to 10.02 2>"$out/err" ||
    { cat "$out/err"; exit 1; }
frames=$(ls "$out/clip_frames" | grep -c '^frame_[0-9]*\.png$')
[ "$frames" = 2 ] || { echo "capture_still_matches_video: $frames video frames, not 2"; exit 1; }
status=0
for pair in "t10.000.png frame_00000.png" "t10.010.png frame_00001.png"; do
    set -- $pair
    if ! cmp -s "$out/still/$1" "$out/clip_frames/$2"; then
        echo "capture_still_matches_video: the still $1 differs from the video's $2"
        status=1
    fi
done
[ $status -eq 0 ] && echo "capture_still_matches_video: ok"
exit $status
