#!/usr/bin/env bash
# A short video capture (2 s at 30 fps) has the right length: through ffmpeg, 60 frames and 2 s of
# sound; without ffmpeg on PATH, 60 PNGs, a WAV of exactly 2 s and one line saying why.
set -eu
run_dir=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$run_dir"

if command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null; then
    ./velor-capture --video "$out/clip.mp4" --fps 30 --from 20 --to 22
    frames=$(ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames -of csv=p=0 "$out/clip.mp4")
    [ "$frames" = 60 ] || { echo "capture_video: $frames video frames, not 60"; exit 1; }
    audio=$(ffprobe -v error -select_streams a:0 -show_entries stream=duration -of csv=p=0 "$out/clip.mp4")
    awk -v d="$audio" 'BEGIN { exit !(d > 1.95 && d < 2.05) }' || { echo "capture_video: $audio s of sound, not 2"; exit 1; }
else
    echo "capture_video: no ffmpeg here; checking the fallback only"
fi

# PATH without ffmpeg: the fallback.
env PATH=/nonexistent ./velor-capture --video "$out/plain.mp4" --fps 30 --from 20 --to 22 2>"$out/err"
cat "$out/err"
grep -q "ffmpeg not found" "$out/err" || { echo "capture_video: the fallback did not say so"; exit 1; }
pngs=$(ls "$out/plain_frames" | grep -c '^frame_[0-9]*\.png$')
[ "$pngs" = 60 ] || { echo "capture_video: $pngs PNGs, not 60"; exit 1; }
size=$(stat -c %s "$out/plain.wav")
[ "$size" = $((44 + 2 * 48000 * 4)) ] || { echo "capture_video: WAV of $size bytes, not 2 s"; exit 1; }
echo "capture_video: ok"
