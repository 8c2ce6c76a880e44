#!/usr/bin/env bash
# `cmake --install` into a staging folder (DESTDIR, prefix /usr): every file of the layout is there,
# the desktop entry validates, the icon is a 128 x 128 PNG, and the installed velor-capture, started
# from an unrelated folder, draws the run folder's frame at 25 s.
#   installed_tree.sh BUILD_DIR REFERENCE_PNG
set -u
build=$1 reference=$2
here=$(dirname "$0")
. "$here/plays_from_elsewhere.sh"
. "$here/expected_files.sh"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "installed_tree: $*"; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix /usr >"$stage.log" 2>&1 || { cat "$stage.log"; rm -f "$stage.log"; fail "install failed"; }
rm -f "$stage.log"
installed=$(cd "$stage" && find . -type f | sed 's|^\./|/|' | sort)
missing=$(comm -23 <(expected_files /usr | sort) <(echo "$installed"))
extra=$(comm -13 <(expected_files /usr | sort) <(echo "$installed"))
[ -z "$missing" ] || fail "not installed: $missing"
[ -z "$extra" ] || fail "installed beyond the layout: $extra"
echo "installed_tree: $(echo "$installed" | wc -l) files, $(du -sk "$stage" | cut -f1) kB"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$stage/usr/share/applications/velor.desktop" || fail "the desktop entry does not validate"
fi
# PNG signature, then the IHDR width, height, bit depth 8 and colour type 6 (RGBA).
header=$(od -An -tx1 -N26 "$stage/usr/share/icons/hicolor/128x128/apps/velor.png" | tr -d ' \n')
[ "${header:0:16}" = "89504e470d0a1a0a" ] && [ "${header:32:20}" = "00000080000000800806" ] ||
    fail "the icon is not a 128 x 128 RGBA PNG ($header)"
for page in man6/velor.6.gz man1/velor-capture.1.gz; do
    out=$(zcat "$stage/usr/share/man/$page" | LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l - 2>&1 >/dev/null)
    [ -z "$out" ] || fail "$page: man warns: $out"
done
plays_from_elsewhere "$stage/usr/bin/velor-capture" "$reference" "installed_tree" || exit 1
