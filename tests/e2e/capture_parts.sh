#!/usr/bin/env bash
# scripts/capture-parts: a range captured in parts and joined holds exactly the frames of one run over
# the range (decoded frame hashes) and one sound track of the range's length whose samples are the
# one run's (within the music renderer's dither, a level or two). Besides a count the parts divide,
# counts they do not: there a part's end rounded the wrong way repeats or drops a frame at a join.
#   capture_parts.sh CAPTURE_PARTS RUN_DIR
set -u
script=$1
run_dir=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for tool in parallel ffmpeg python3; do
    command -v "$tool" >/dev/null || { echo "capture_parts: skipped: $tool is not installed (scripts/setup)"; exit 77; }
done

hashes() { ffmpeg -loglevel error -i "$1" -map 0:v -f framemd5 - | grep -v '^#' | awk -F, '{print $6}'; }
sound() { ffmpeg -loglevel error -i "$1" -map 0:a -f s16le -ac 2 -ar 48000 "$2"; }

# Captures FROM..TO at FPS in PARTS parts and in one run and compares them.
#   check FROM TO FPS PARTS FRAMES
check() {
    local from=$1 to=$2 fps=$3 parts=$4 frames=$5
    local dir="$out/$parts-$frames" bad=0
    mkdir -p "$dir"
    echo "capture_parts: $from to $to s at $fps fps in $parts parts"
    "$script" "$dir/joined.mkv" --from "$from" --to "$to" --fps "$fps" --parts "$parts" --jobs 2 \
        --run-dir "$run_dir" --lossless || { echo "capture_parts: capture-parts failed"; return 1; }
    (cd "$run_dir" && ./velor-capture --video "$dir/one.mkv" --lossless --from "$from" --to "$to" --fps "$fps") ||
        { echo "capture_parts: the one run failed"; return 1; }
    hashes "$dir/one.mkv" >"$dir/one.txt"
    hashes "$dir/joined.mkv" >"$dir/joined.txt"
    [ "$(wc -l <"$dir/one.txt")" = "$frames" ] ||
        { echo "capture_parts: the one run has $(wc -l <"$dir/one.txt") frames, not $frames"; bad=1; }
    [ "$(sort -u "$dir/one.txt" | wc -l)" -ge 2 ] || { echo "capture_parts: the one run's frames are all alike"; bad=1; }
    if ! cmp -s "$dir/one.txt" "$dir/joined.txt"; then
        echo "capture_parts: the joined frames ($(wc -l <"$dir/joined.txt")) differ from one run's:"
        diff "$dir/one.txt" "$dir/joined.txt"
        bad=1
    fi
    sound "$dir/joined.mkv" "$dir/joined.raw"
    sound "$dir/one.mkv" "$dir/one.raw"
    # The range's length of 16-bit stereo at 48 kHz, and the largest difference from the one run's samples.
    python3 - "$dir/joined.raw" "$dir/one.raw" "$frames" "$fps" <<'PY' || bad=1
import array, sys
a, b = array.array("h"), array.array("h")
a.frombytes(open(sys.argv[1], "rb").read())
b.frombytes(open(sys.argv[2], "rb").read())
want = 48000 * int(sys.argv[3]) // int(sys.argv[4]) * 2
largest = max((abs(x - y) for x, y in zip(a, b)), default=0)
loud = max((abs(x) for x in b), default=0)
print(f"capture_parts: sound {len(a)} samples (want {want}), peak {loud}, largest difference from one run {largest}")
sys.exit(0 if len(a) == want == len(b) and loud > 1000 and largest <= 4 else 1)
PY
    return "$bad"
}

failed=0
# FROM TO FPS PARTS FRAMES, across window 3's opening.
cases=("44.5 45.3 10 2 8" "44.5 45.4 10 2 9" "44.5 45.5 10 3 10")
for c in "${cases[@]}"; do
    # shellcheck disable=SC2086
    check $c </dev/null || failed=1
done
[ "$failed" = 0 ] && echo "capture_parts: ok"
exit "$failed"
