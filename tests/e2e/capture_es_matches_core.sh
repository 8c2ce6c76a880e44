#!/usr/bin/env bash
# One frame per scene window, captured on an OpenGL ES 3.0 context (VELOR_GL_PROFILE=es, the
# browser's profile) and on the default 3.3 core one: the ES frame must match the core frame. What
# ES lacks is emulated exactly (BGRA uploads and vertex colours swizzled, read-backs converted);
# two differences remain, both small:
# - depth goes through the shaders' 0..1 -> -1..1 remap (ES has no clip control), so a few pixels
#   where two surfaces nearly meet in depth come out the other way (large, but very few);
# - ES always filters cube maps across their faces, so environment-mapped surfaces differ by a few
#   levels (many pixels, tiny).
# Hence: a channel's mean difference under 0.05 levels, and at most 0.1% of the pixels off by more
# than 8 levels.
#   capture_es_matches_core.sh RUN_DIR FRAME_COMPARE
set -eu
run_dir=$1
compare=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$run_dir"
times=5,25,45,65,85,105
./velor-capture --at $times --out "$out/core"
VELOR_GL_PROFILE=es ./velor-capture --at $times --out "$out/es"
status=0
for t in ${times//,/ }; do
    name=$(printf 't%.3f.png' "$t")
    "$compare" "$out/core/$name" "$out/es/$name" 0.05 0.1 || status=1
done
[ $status -eq 0 ] && echo "capture_es_matches_core: ok"
exit $status
