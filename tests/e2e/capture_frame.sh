#!/usr/bin/env bash
# velor-capture writes one 1024 x 768 PNG per requested time, named by the time.
set -eu
run_dir=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$run_dir"
./velor-capture --at 0.5,1.25 --out "$out"
for name in t0.500.png t1.250.png; do
    [ -f "$out/$name" ] || { echo "capture_frame: $name missing"; ls -la "$out"; exit 1; }
    # PNG signature, then the IHDR width and height as big-endian words.
    header=$(od -An -tx1 -N24 "$out/$name" | tr -d ' \n')
    [ "${header:0:16}" = "89504e470d0a1a0a" ] || { echo "capture_frame: $name is not a PNG"; exit 1; }
    [ "${header:32:16}" = "0000040000000300" ] || { echo "capture_frame: $name is not 1024 x 768"; exit 1; }
done
if ./velor-capture --at nonsense --out "$out" 2>/dev/null; then
    echo "capture_frame: a malformed time was accepted"; exit 1
fi
echo "capture_frame: ok"
