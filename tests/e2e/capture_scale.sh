#!/usr/bin/env bash
# The resolution scale through velor-capture: one frame per window at scale 2 averaged down matches
# the scale-1 frame, its letterbox bands are twice as tall; the title text at 105 s is sharper than
# the scale-1 frame magnified and covers twice the width and height, in the same place; --ssaa 2 changes the plain frame only along edges; bad values are
# refused with one line and exit 2.
set -eu
run_dir=$1
compare=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$run_dir"
times=3,25,45,65,85,105
./velor-capture --at $times --out "$out/one"
./velor-capture --at $times --scale 2 --out "$out/two"
failed=0
for t in 3 25 45 65 85 105; do
    name=t$t.000.png
    echo "window at $t s:"
    "$compare" match "$out/one/$name" "$out/two/$name" || failed=1
done
# The title block ("VELOR DEMO" and the credit line) at 105 s, in back-buffer pixels.
"$compare" sharper "$out/one/t105.000.png" "$out/two/t105.000.png" 545 255 760 305 || failed=1
"$compare" footprint "$out/one/t105.000.png" "$out/two/t105.000.png" 545 255 760 305 || failed=1
./velor-capture --at 25 --ssaa 2 --out "$out/smooth"
"$compare" edges "$out/one/t25.000.png" "$out/smooth/t25.000.png" || failed=1
[ "$(od -An -tx1 -j16 -N8 "$out/two/t25.000.png" | tr -d ' \n')" = "0000080000000600" ] || {
    echo "capture_scale: the scale-2 frame is not 2048 x 1536"; failed=1; }

for bad in "--scale 0" "--scale abc" "--size 1000x1000" "--ssaa 0" "--scale 2 --size 2048x1536" "--scale 8 --ssaa 2"; do
    set +e
    # shellcheck disable=SC2086
    ./velor-capture --at 1 --out "$out/bad" $bad 2>"$out/err"
    code=$?
    set -e
    lines=$(grep -c 'velor-capture:' "$out/err" || true)
    if [ "$code" != 2 ] || [ "$lines" != 1 ]; then
        echo "capture_scale: '$bad' gave exit $code and $lines error lines:"; cat "$out/err"; failed=1
    else
        echo "refused '$bad': $(head -1 "$out/err")"
    fi
done
[ "$failed" = 0 ] && echo "capture_scale: ok"
exit "$failed"
