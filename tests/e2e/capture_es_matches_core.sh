#!/usr/bin/env bash
# One frame per scene window, captured on an OpenGL ES 3.0 context (VELOR_GL_PROFILE=es, the
# browser's profile) and on the default 3.3 core one: the ES frame must match the core frame within
# the limits below. What ES lacks is emulated exactly (BGRA uploads and vertex colours are swizzled,
# read-backs converted); the one path that differs is depth, which ES takes through the shaders'
# 0..1 → -1..1 remap instead of clip control, so a few pixels where two surfaces meet in depth may
# come out the other way.
#   capture_es_matches_core.sh RUN_DIR FRAME_COMPARE
set -eu
run_dir=$1
compare=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$run_dir"
times=5,25,45,65,85,105
max_diff=${VELOR_ES_MAX_DIFF:-255}
max_mean=${VELOR_ES_MAX_MEAN:-0.05}
./velor-capture --at $times --out "$out/core"
VELOR_GL_PROFILE=es ./velor-capture --at $times --out "$out/es"
status=0
for t in ${times//,/ }; do
    name=$(printf 't%.3f.png' "$t")
    "$compare" "$out/core/$name" "$out/es/$name" "$max_diff" "$max_mean" || status=1
done
[ $status -eq 0 ] && echo "capture_es_matches_core: ok"
exit $status
