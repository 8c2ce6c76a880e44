#!/usr/bin/env bash
# The .tar.gz unpacked into a fresh folder holds one folder with the installed layout, and its
# velor-capture, started from an unrelated folder, draws the run folder's frame at 25 s.
#   tarball.sh PACKAGE_DIR REFERENCE_PNG
set -u
packages=$1 reference=$2
here=$(dirname "$0")
. "$here/plays_from_elsewhere.sh"
. "$here/expected_files.sh"
fail() { echo "tarball: $*"; exit 1; }
tarball=$(ls "$packages"/*.tar.gz 2>/dev/null | head -1)
[ -n "$tarball" ] || fail "no .tar.gz in $packages"
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT
tar -xzf "$tarball" -C "$fresh" || fail "cannot unpack $tarball"
top=$(ls "$fresh")
[ "$(echo "$top" | wc -l)" -eq 1 ] && [ "$top.tar.gz" = "$(basename "$tarball")" ] ||
    fail "$tarball does not unpack into one folder of its name: $top"
listed=$(cd "$fresh/$top" && find . -type f | sed 's|^\.||' | sort)
[ "$listed" = "$(expected_files "" | sort)" ] ||
    fail "unexpected contents: $(diff <(expected_files "" | sort) <(echo "$listed"))"
file "$fresh/$top/bin/velor" | grep -q 'stripped' && ! file "$fresh/$top/bin/velor" | grep -q 'not stripped' ||
    fail "velor is not stripped"
# Moved after unpacking: nothing in it depends on where it first landed.
mkdir "$fresh/moved" && mv "$fresh/$top" "$fresh/moved/"
plays_from_elsewhere "$fresh/moved/$top/bin/velor-capture" "$reference" "tarball ($(basename "$tarball"))" || exit 1
