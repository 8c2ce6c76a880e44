#!/usr/bin/env bash
# velor-capture.exe under Wine writes one frame per window that matches the native capture's: only
# the C library's maths differs, so the frames must be near (mean difference per channel) with their
# bright pixels in the same places. Run by wine_session.sh.
#   capture_matches_native.sh NATIVE_RUN_DIR BRIGHT_COMPARE
set -u
run_dir=$1
compare=$2
times=3,25,45,65,85,105

here=$PWD
if ! (cd "$run_dir" && ./velor-capture --at "$times" --out "$here/native"); then
    echo "capture_matches_native: the native capture failed"
    exit 1
fi
# From another folder: the .exe finds its content beside itself.
if ! wine "$VELOR_WIN_DIR/velor-capture.exe" --at "$times" --out wine; then
    echo "capture_matches_native: velor-capture.exe failed"
    exit 1
fi
status=0
for frame in native/*.png; do
    name=$(basename "$frame")
    if [ ! -f "wine/$name" ]; then
        echo "capture_matches_native: velor-capture.exe wrote no $name"
        status=1
        continue
    fi
    "$compare" "$frame" "wine/$name" || status=1
done
exit $status
