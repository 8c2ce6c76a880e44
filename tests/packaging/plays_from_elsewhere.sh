#!/usr/bin/env bash
# Shared by the packaging tests: runs an installed velor-capture from an unrelated, empty folder and
# compares its frame at 25 s with the run folder's, byte for byte.
#   plays_from_elsewhere VELOR_CAPTURE REFERENCE_PNG WHAT
plays_from_elsewhere() {
    local capture=$1 reference=$2 what=$3 away
    away=$(mktemp -d)
    (cd "$away" && timeout 300 "$capture" --at 25 --out frames 2>stderr) ||
        { echo "$what: velor-capture failed: $(cat "$away/stderr")"; rm -rf "$away"; return 1; }
    if ! cmp -s "$away/frames/t25.000.png" "$reference"; then
        echo "$what: the frame at 25 s differs from the run folder's ($(cat "$away/stderr"))"
        rm -rf "$away"
        return 1
    fi
    local left
    left=$(cd "$away" && ls -A | tr '\n' ' ')
    rm -rf "$away"
    [ "$left" = "frames stderr " ] || { echo "$what: left in the working folder: $left"; return 1; }
    echo "$what: the frame at 25 s equals the run folder's"
}
