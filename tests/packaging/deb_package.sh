#!/usr/bin/env bash
# The Debian package, read with dpkg-deb: its control data (name, the project's version, this
# machine's architecture, a Depends that names the package of every shared library the binaries
# need, a Recommends that names the package of the face the overlays are drawn with), its file list (the installed layout under /usr, owned by root, binaries stripped), and
# lintian: no tag beyond those explained in lintian-expected.txt.
#   deb_package.sh PACKAGE_DIR VELOR
set -u
packages=$1 velor=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/expected_files.sh"
fail() { echo "deb_package: $*"; exit 1; }
missing() { echo "deb_package: skipped: $* is not installed (scripts/setup installs it)"; exit 77; }
for tool in dpkg-deb objdump lintian; do command -v "$tool" >/dev/null || missing "$tool"; done
deb=$(ls "$packages"/*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no .deb in $packages"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

field() { dpkg-deb -f "$deb" "$1"; }
version=$("$velor" --version | awk '{ print $2 }')
[ "$(field Package)" = velor ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version $(field Version), velor --version says $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ "$(basename "$deb")" = "velor_${version}_$(dpkg --print-architecture).deb" ] || fail "file name $(basename "$deb")"
for f in Maintainer Description Section Installed-Size; do [ -n "$(field $f)" ] || fail "no $f"; done
echo "deb_package: $(basename "$deb"), $(stat -c %s "$deb") bytes; Depends: $(field Depends)"

# Every library the binaries load comes from a package the Depends names.
dpkg-deb -x "$deb" "$work/root"
depends=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')
for binary in "$work/root/usr/bin/velor" "$work/root/usr/bin/velor-capture"; do
    for lib in $(objdump -p "$binary" | awk '$1 == "NEEDED" { print $2 }'); do
        path=$(ldconfig -p | awk -v l="$lib" '$1 == l { print $NF; exit }')
        [ -n "$path" ] || fail "$lib: not on this machine"
        owner=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null | head -1 | cut -d: -f1)
        [ -n "$owner" ] || owner=$(dpkg -S "$path" 2>/dev/null | head -1 | cut -d: -f1)
        grep -qx "$owner" <<<"$depends" || fail "$(basename "$binary") needs $lib from $owner, not in Depends: $(field Depends)"
    done
    file "$binary" | grep -q ', stripped' || fail "$(basename "$binary") is not stripped"
done

# The title and greetings were made with DejaVu Sans, fontconfig's sans-serif on Debian: without it
# they come out in another face, so the package recommends the one that holds it.
font_package=fonts-dejavu-core
recommends=$(field Recommends | tr ',|' '\n\n' | sed 's/^ *//; s/ .*//')
grep -qx "$font_package" <<<"$recommends" || fail "Recommends does not name $font_package: '$(field Recommends)'"
# The face is still where that package puts it (a renamed package would leave the name above stale).
font=$(dpkg -L "$font_package" 2>/dev/null | grep '/DejaVuSans\.ttf$' | head -1)
[ -z "$font" ] && dpkg-query -W "$font_package" >/dev/null 2>&1 && fail "$font_package holds no DejaVuSans.ttf"

# The files: the layout under /usr and Debian's changelog, all owned by root.
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' <<<"$listing" | sort)
expected=$( (expected_files /usr; echo /usr/share/doc/velor/changelog.gz) | sort)
[ "$files" = "$expected" ] || fail "file list: $(diff <(echo "$expected") <(echo "$files"))"
owners=$(awk '{ print $2 }' <<<"$listing" | sort -u)
[ "$owners" = "root/root" ] || fail "files owned by $owners"
zcat "$work/root/usr/share/doc/velor/changelog.gz" | head -1 | grep -q "^velor ($version) " || fail "the changelog is not for $version"

# lintian: every tag it gives must be one explained in lintian-expected.txt.
lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1
grep -v 'root privileges' "$work/lintian" | sed 's/^/  lintian: /'
allowed=$(grep -v '^#' "$here/lintian-expected.txt" | awk 'NF { print $1 }')
unexplained=$(awk '/^[EWIPX]: / { print $3 }' "$work/lintian" | sort -u | grep -vxF "$allowed" || true)
[ -z "$unexplained" ] || fail "lintian tags not explained in lintian-expected.txt: $unexplained"
echo "deb_package: ok"
