#!/usr/bin/env bash
# The frame the packaging tests compare with: velor-capture at 25 s, run in the build's run folder.
#   reference_frame.sh RUN_DIR OUT_DIR
set -eu
rm -rf "$2" && mkdir -p "$2"
cd "$1"
./velor-capture --at 25 --out "$2" 2>"$2/stderr"
test -f "$2/t25.000.png"
echo "reference_frame: $2/t25.000.png"
