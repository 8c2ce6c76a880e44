#!/usr/bin/env bash
# The .tar.gz unpacked into a fresh folder holds one folder with the installed layout, the libraries
# it needs beyond a desktop's base in lib/ and the font it draws text with, and its velor-capture,
# started from an unrelated folder, draws the run folder's frame at 25 s.
#   tarball.sh PACKAGE_DIR REFERENCE_PNG
set -u
packages=$1 reference=$2
here=$(dirname "$0")
. "$here/plays_from_elsewhere.sh"
. "$here/expected_files.sh"
fail() { echo "tarball: $*"; exit 1; }
command -v readelf >/dev/null || { echo "tarball: needs readelf (binutils)"; exit 77; }
tarball=$(ls "$packages"/*.tar.gz 2>/dev/null | head -1)
[ -n "$tarball" ] || fail "no .tar.gz in $packages"
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT
tar -xzf "$tarball" -C "$fresh" || fail "cannot unpack $tarball"
top=$(ls "$fresh")
[ "$(echo "$top" | wc -l)" -eq 1 ] && [ "$top.tar.gz" = "$(basename "$tarball")" ] ||
    fail "$tarball does not unpack into one folder of its name: $top"
tree=$fresh/$top
listed=$(cd "$tree" && find . -type f ! -path './lib/*' ! -path './share/doc/velor/libraries/*' | sed 's|^\.||' | sort)
wanted=$( (expected_files ""; echo /share/velor/fonts/DejaVuSans.ttf) | sort)
[ "$listed" = "$wanted" ] || fail "unexpected contents: $(diff <(echo "$wanted") <(echo "$listed"))"
file "$tree/bin/velor" | grep -q 'stripped' && ! file "$tree/bin/velor" | grep -q 'not stripped' ||
    fail "velor is not stripped"

runpath() { readelf -d "$1" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p'; }
needed() { readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'; }
for program in velor velor-capture; do
    [ "$(runpath "$tree/bin/$program")" = '$ORIGIN/../lib' ] ||
        fail "bin/$program has RUNPATH '$(runpath "$tree/bin/$program")', not \$ORIGIN/../lib"
done
for library in "$tree"/lib/*; do
    [ "$(runpath "$library")" = '$ORIGIN' ] || fail "lib/$(basename "$library") has no RUNPATH \$ORIGIN"
    # Whatever a bundled library needs is bundled too, or is of the base every desktop has.
    for dependency in $(needed "$library"); do
        [ -f "$tree/lib/$dependency" ] && continue
        case $dependency in
            libc.so.6|libm.so.6|libdl.so.2|libpthread.so.0|librt.so.1|ld-linux-x86-64.so.2|libstdc++.so.6|libgcc_s.so.1|libz.so.1|libexpat.so.1) ;;
            *) fail "lib/$(basename "$library") needs $dependency, which is neither bundled nor of the base" ;;
        esac
    done
done
# What a system without Velor's libraries lacks is bundled; the base is not.
for soname in libSDL2-2.0.so.0 libopenmpt.so.0 libfreetype.so.6 libepoxy.so.0 libfontconfig.so.1; do
    [ -f "$tree/lib/$soname" ] || fail "lib/ lacks $soname"
done
for soname in libc.so.6 libstdc++.so.6 libGL.so.1 libEGL.so.1 libGLX.so.0 libGLdispatch.so.0 libX11.so.6; do
    [ ! -e "$tree/lib/$soname" ] || fail "lib/ bundles $soname, which the system must provide"
done
# SDL2 loads the window systems' and sound servers' libraries when it finds them, rather than needing them.
sdl_needs=$(needed "$tree/lib/libSDL2-2.0.so.0" | tr '\n' ' ')
case $sdl_needs in *libX11*|*libwayland*|*libpulse*|*libasound*|*libxkbcommon*|*libdecor*)
    fail "the bundled SDL2 needs window system or sound libraries outright: $sdl_needs" ;; esac
cmp -s "$tree/share/velor/fonts/DejaVuSans.ttf" /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf ||
    fail "share/velor/fonts/DejaVuSans.ttf is not fonts-dejavu-core's"
for package in libsdl2-2.0-0 fonts-dejavu-core; do
    [ -s "$tree/share/doc/velor/libraries/$package.copyright" ] || fail "no licence of $package"
done

# Moved after unpacking: nothing in it depends on where it first landed.
mkdir "$fresh/moved" && mv "$tree" "$fresh/moved/"
plays_from_elsewhere "$fresh/moved/$top/bin/velor-capture" "$reference" "tarball ($(basename "$tarball"))" || exit 1
