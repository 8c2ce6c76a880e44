#!/usr/bin/env bash
# The self-contained .tar.gz in a minimal Debian root (scripts/minimal-root: minbase and Mesa's GL
# drivers; no SDL2, libopenmpt, FreeType, epoxy, fontconfig nor any font): unpacked there and run
# from an unrelated folder, its velor-capture draws the build's frames at 25 s and at 105 s (the title
# text, so drawn with the bundled font) byte for byte, and ldd finds every library either in the
# archive or in that base, the ones Velor brings always in the archive.
#   minimal_root.sh PACKAGE_DIR REFERENCE_DIR
set -u
packages=$1 reference=$2
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "minimal_root: $*"; exit 1; }
skip() { echo "minimal_root: skipped: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root (debootstrap, chroot)"
for tool in unshare chroot; do command -v $tool >/dev/null || skip "needs $tool"; done
command -v debootstrap >/dev/null || [ -f "${VELOR_MINIMAL_ROOT:-$here/../../.cache/minimal-root}/.velor-root" ] ||
    skip "needs debootstrap (scripts/setup installs it) or a root made by scripts/minimal-root"
unshare -m -f true 2>/dev/null || skip "cannot make a mount namespace (unshare -m)"
tarball=$(ls "$packages"/*.tar.gz 2>/dev/null | head -1)
[ -n "$tarball" ] || fail "no .tar.gz in $packages"
for t in 25 105; do [ -f "$reference/t$t.000.png" ] || fail "no reference frame $reference/t$t.000.png"; done

base=$(bash "$here/../../scripts/minimal-root") || fail "no minimal root"
# The root must really lack what the archive brings, or the test proves nothing.
for package in libsdl2-2.0-0 libopenmpt0 libfreetype6 libepoxy0 libfontconfig1 fontconfig-config fonts-dejavu-core; do
    ! chroot "$base" dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        fail "the minimal root has $package installed"
done
[ -z "$(find "$base/usr/share/fonts" -type f 2>/dev/null | head -1)" ] || fail "the minimal root has fonts"

# Unpacked in a folder of the root, run from another; proc is mounted in a namespace of the test's own.
inside=$(mktemp -d "$base/tmp/velor-archive.XXXXXX")
trap 'rm -rf "$inside"' EXIT
name=${inside#"$base"}
tar -xzf "$tarball" -C "$inside" || fail "cannot unpack $tarball"
top=$name/$(ls "$inside")
mkdir "$inside/away"
in_root() {
    unshare -m -f sh -c 'mount -t proc proc "$1/proc" && mount --rbind /dev "$1/dev" && shift && exec chroot "$@"' \
        sh "$base" "$base" "$@"
}
in_root sh -c "cd $name/away && timeout 600 $top/bin/velor-capture --at 25,105 --out frames 2>stderr" ||
    fail "velor-capture failed in the minimal root: $(cat "$inside/away/stderr")"
for t in 25 105; do
    cmp -s "$inside/away/frames/t$t.000.png" "$reference/t$t.000.png" ||
        fail "the frame at $t s differs from the build's (velor-capture said: $(cat "$inside/away/stderr"))"
done
echo "minimal_root: the frames at 25 s and 105 s equal the build's"

for program in velor velor-capture; do
    listing=$(in_root ldd "$top/bin/$program") || fail "ldd failed on $program: $listing"
    listing=$(echo "$listing" | sed "s|$top/bin/\.\./lib/|$top/lib/|")
    echo "$listing" | grep -q 'not found' && fail "$program: libraries not found in the minimal root:
$listing"
    # Everything resolved is in the archive or in the root's own library folders.
    outside=$(echo "$listing" | awk '$2 == "=>" { print $3 }' | grep -v "^$top/lib/" | grep -Ev '^/(usr/)?lib(64)?/' )
    [ -z "$outside" ] || fail "$program: resolved outside the archive and the base: $outside"
    for soname in libSDL2-2.0.so.0 libopenmpt.so.0 libfreetype.so.6 libepoxy.so.0 libfontconfig.so.1; do
        echo "$listing" | grep -q "^[[:space:]]*$soname => $top/lib/$soname " ||
            fail "$program: $soname is not resolved inside the archive:
$listing"
    done
done
echo "minimal_root: ldd resolves everything in the archive or the base"
