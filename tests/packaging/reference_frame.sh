#!/usr/bin/env bash
# The frames the packaging tests compare with, from velor-capture run in the build's run folder: at
# 25 s as the build draws it, and at 105 s (window 6's title text) with fontconfig knowing only
# fonts-dejavu-core's DejaVu Sans, the face the self-contained archive carries (the machine may have
# more faces, such as a real oblique one, which the build would take instead).
#   reference_frame.sh RUN_DIR OUT_DIR
set -eu
rm -rf "$2" && mkdir -p "$2"
cd "$1"
./velor-capture --at 25 --out "$2" 2>"$2/stderr"
test -f "$2/t25.000.png"
echo "reference_frame: $2/t25.000.png"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
if [ -f "$font" ]; then
    fc=$2/fontconfig
    mkdir -p "$fc/fonts"
    cp "$font" "$fc/fonts/"
    printf '<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">\n<fontconfig>\n  <dir>%s</dir>\n  <cachedir>%s</cachedir>\n</fontconfig>\n' \
        "$fc/fonts" "$fc/cache" >"$fc/fonts.conf"
    FONTCONFIG_FILE=$fc/fonts.conf ./velor-capture --at 105 --out "$2" 2>>"$2/stderr"
    test -f "$2/t105.000.png"
    echo "reference_frame: $2/t105.000.png (drawn with $font alone)"
fi
