#!/usr/bin/env bash
# One bad-content case: a copy of the run folder (links, and a real copy of the spoiled file) with one
# file the demo reads missing, empty, truncated or corrupt; velor-capture plays the schedule in it.
# The demo must write every frame, exit 0, name the file on stderr without repeating itself, leave
# the working folder as it found it and nothing in the temporary folder.
#   bad_content.sh <run dir> <content_mangle> <file | data.xyz#N | font> <case> [times] [step]
set -u
run_dir=$1 mangle=$2 target=$3 how=$4
times=${5:-45,105}
step=${6:-0.5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run" "$work/tmp" "$work/out" "$work/fonts"
cp -as "$run_dir"/. "$work/run"/

fail() {
    echo "bad_content [$target $how]: $*"
    echo "--- stderr ---"; cat "$work/stderr" 2>/dev/null
    exit 1
}

# Fonts come from fontconfig: a configuration of our own whose only folder holds the font's copies.
fontdir=/usr/share/fonts/truetype/dejavu
cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$work/fonts</dir><cachedir>$work/fontcache</cachedir></fontconfig>
CONF
for f in DejaVuSans.ttf DejaVuSans-Oblique.ttf; do cp "$fontdir/$f" "$work/fonts/"; done
export FONTCONFIG_FILE=$work/fonts.conf

name=$target
case $target in
font)
    name=font
    if [ "$how" = missing ]; then rm -f "$work/fonts"/*.ttf
    elif [ "$how" != none ]; then
        for f in "$work/fonts"/*.ttf; do "$mangle" "$how" "$f" || exit 2; done
    fi ;;
data.xyz#*)
    entry=${target#data.xyz#}
    name=$(sed -n "$((entry + 1))p" <<'NAMES'
fire.png
skybox.x
tree.x
iskelet.x
duvar.x
sphere.x
scroll.x
tunnel.x
ccube.x
quad.x
NAMES
)
    # The pack has no names: an entry left out shows as a pack one entry short.
    [ "$how" = missing ] && name=data.xyz
    rm "$work/run/data.xyz"; cp "$run_dir/data.xyz" "$work/run/data.xyz"
    [ "$how" = none ] || "$mangle" "$how" "$work/run/data.xyz" "$entry" || exit 2 ;;
*)
    [ -e "$run_dir/$target" ] || { echo "bad_content: $target is not in the run folder"; exit 2; }
    rm "$work/run/$target"; cp "$run_dir/$target" "$work/run/$target"
    [ "$how" = none ] || "$mangle" "$how" "$work/run/$target" || exit 2 ;;
esac

cd "$work/run"
listing() { find . -printf '%p %s %y\n' | sort; }
before=$(listing)
TMPDIR=$work/tmp timeout -k 10 900 ./velor-capture --at "$times" --step "$step" --out "$work/out" \
    >"$work/stdout" 2>"$work/stderr"
rc=$?
[ $rc -eq 0 ] || fail "velor-capture exited with $rc"
expected=$(tr ',' '\n' <<<"$times" | wc -l)
written=$(find "$work/out" -name '*.png' | wc -l)
[ "$written" -eq "$expected" ] || fail "$written of $expected frames written"
[ "$(listing)" = "$before" ] || fail "the working folder changed: $(diff <(echo "$before") <(listing))"
[ -z "$(ls -A "$work/tmp")" ] || fail "left behind in the temporary folder: $(ls -A "$work/tmp")"
! grep -qE "Sanitizer|runtime error:" "$work/stderr" || fail "a sanitizer reported"
# Said once: no line of ours repeats (a message a frame would flood the terminal).
repeated=$(grep -v '^ALSA' "$work/stderr" | sort | uniq -d)
[ -z "$repeated" ] || fail "repeated on stderr: $repeated"
base=$(basename "$name")
# Damage inside pixel, sample or glyph data cannot be seen where the format keeps no checksum of it
# (DDS, uncompressed TGA, S3M samples, TrueType outlines): it plays as what it is, unannounced.
undetectable=0
if [ "$how" = corrupt ]; then
    case $target in *.dds|*.tga|*.s3m|font) undetectable=1 ;; esac
fi
if [ "$how" = none ]; then
    ! grep -qF "$base" "$work/stderr" || fail "the good $base was complained about"
elif [ $undetectable -eq 0 ]; then
    grep -qF "$base" "$work/stderr" || fail "nothing on stderr names $base"
fi
echo "bad_content [$target $how]: ok"
sed 's/^/  stderr: /' "$work/stderr" | grep -F "$base" | head -3
exit 0
