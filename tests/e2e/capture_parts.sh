#!/usr/bin/env bash
# scripts/capture-parts: a range captured in two parts and joined holds exactly the frames of one
# run over the range (decoded frame hashes) and one sound track of the range's length whose samples
# are the one run's (within the music renderer's dither, a level or two).
set -eu
script=$1
run_dir=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
command -v parallel >/dev/null || { echo "capture_parts: GNU parallel is missing (scripts/setup)"; exit 1; }
from=44.5 to=45.3 fps=10   # 8 frames across window 3's opening
"$script" "$out/joined.mkv" --from $from --to $to --fps $fps --parts 2 --jobs 2 --run-dir "$run_dir" --lossless
(cd "$run_dir" && ./velor-capture --video "$out/one.mkv" --lossless --from $from --to $to --fps $fps)
hashes() { ffmpeg -loglevel error -i "$1" -map 0:v -f framemd5 - | grep -v '^#'; }
hashes "$out/one.mkv" | awk -F, '{print $6}' >"$out/one.txt"
hashes "$out/joined.mkv" | awk -F, '{print $6}' >"$out/joined.txt"
failed=0
[ "$(wc -l <"$out/one.txt")" = 8 ] || { echo "capture_parts: the one run has $(wc -l <"$out/one.txt") frames, not 8"; failed=1; }
if ! cmp -s "$out/one.txt" "$out/joined.txt"; then
    echo "capture_parts: the joined frames differ from one run's:"; diff "$out/one.txt" "$out/joined.txt" || true; failed=1
fi
sound() { ffmpeg -loglevel error -i "$1" -map 0:a -f s16le -ac 2 -ar 48000 "$2"; }
sound "$out/joined.mkv" "$out/joined.raw"
sound "$out/one.mkv" "$out/one.raw"
# 0.8 s of 16-bit stereo at 48 kHz, and the largest difference from the one run's samples.
python3 - "$out/joined.raw" "$out/one.raw" $((48000 * 8 / 10 * 4)) <<'PY' || failed=1
import array, sys
a, b = array.array("h"), array.array("h")
a.frombytes(open(sys.argv[1], "rb").read())
b.frombytes(open(sys.argv[2], "rb").read())
want = int(sys.argv[3]) // 2
largest = max((abs(x - y) for x, y in zip(a, b)), default=0)
loud = max((abs(x) for x in b), default=0)
print(f"capture_parts: sound {len(a)} samples (want {want}), peak {loud}, largest difference from one run {largest}")
sys.exit(0 if len(a) == want == len(b) and loud > 1000 and largest <= 4 else 1)
PY
[ "$failed" = 0 ] && echo "capture_parts: ok ($(wc -l <"$out/joined.txt") frames)"
exit "$failed"
