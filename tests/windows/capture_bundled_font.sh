#!/usr/bin/env bash
# Windows has no fontconfig: the title text at 105 s is drawn with the font shipped in the zip's
# fonts folder. The frame from the zip as it is matches the native one; from a copy without that
# folder it must not (or the capture must say the font is missing), so the text does come from the
# bundled file, and the comparison does see it. Run by wine_session.sh.
#   capture_bundled_font.sh NATIVE_RUN_DIR BRIGHT_COMPARE
set -u
run_dir=$1
compare=$2
here=$PWD
if ! (cd "$run_dir" && ./velor-capture --at 105 --out "$here/native"); then
    echo "capture_bundled_font: the native capture failed"
    exit 1
fi
cp -r "$VELOR_WIN_DIR" "no fonts"
rm -r "no fonts/fonts"
status=0
wine "$VELOR_WIN_DIR/velor-capture.exe" --at 105 --out with || status=1
"$compare" native/t105.000.png with/t105.000.png || status=1
if wine "no fonts/velor-capture.exe" --at 105 --out without 2>without.log; then
    cat without.log
    if "$compare" native/t105.000.png without/t105.000.png; then
        echo "capture_bundled_font: without the fonts folder the frame still matches: the title is not drawn with it"
        status=1
    fi
else
    cat without.log
    grep -qi 'font' without.log || { echo "capture_bundled_font: the failure does not name the font"; status=1; }
fi
exit $status
