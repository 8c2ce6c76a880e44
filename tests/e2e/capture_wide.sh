#!/usr/bin/env bash
# The wide framing through velor-capture: for one time in each window, the 16:9 frame is the middle
# of the 4:3 frame at the same scale (1.875: 1920x1080 against 1920x1440), byte for byte; with
# supersampling too.
#   capture_wide.sh RUN_DIR BAND_COMPARE
set -eu
run_dir=$1
compare=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$run_dir"
times=3,25,45,65,85,105
./velor-capture --at $times --size 1920x1080 --out "$out/wide"
./velor-capture --at $times --size 1920x1440 --out "$out/whole"
failed=0
for t in 3 25 45 65 85 105; do
    name=t$t.000.png
    [ "$(od -An -tx1 -j16 -N8 "$out/wide/$name" | tr -d ' \n')" = "0000078000000438" ] || {
        echo "capture_wide: the wide frame at $t s is not 1920 x 1080"; failed=1; }
    echo -n "window at $t s: "
    "$compare" "$out/wide/$name" "$out/whole/$name" || failed=1
done
./velor-capture --at 25 --size 1024x576 --ssaa 2 --out "$out/wide-ssaa"
./velor-capture --at 25 --size 1024x768 --ssaa 2 --out "$out/whole-ssaa"
echo -n "supersampled at 25 s: "
"$compare" "$out/wide-ssaa/t25.000.png" "$out/whole-ssaa/t25.000.png" || failed=1
[ "$failed" = 0 ] && echo "capture_wide: ok"
exit "$failed"
