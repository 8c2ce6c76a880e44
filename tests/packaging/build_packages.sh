#!/usr/bin/env bash
# CPack's .deb and scripts/linux-archive's self-contained .tar.gz of this build, into OUT_DIR (what
# scripts/package makes).
#   build_packages.sh BUILD_DIR OUT_DIR
set -eu
build=$1 out=$2
here=$(cd "$(dirname "$0")" && pwd)
command -v patchelf >/dev/null || { echo "build_packages: needs patchelf (scripts/setup installs it)"; exit 77; }
rm -rf "$out" && mkdir -p "$out"
started=$SECONDS
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
bash "$here/../../scripts/linux-archive" "$build" "$out"
ls "$out"/*.deb "$out"/*.tar.gz >/dev/null
echo "build_packages: made in $((SECONDS - started)) s:"
(cd "$out" && ls -l -- *.deb *.tar.gz | awk '{ printf "  %-40s %10d bytes\n", $9, $5 }')
