#!/usr/bin/env bash
# Runs one Windows test under Wine in an X server of its own (Xvfb, Mesa's llvmpipe underneath): the
# zip unpacked into a folder whose path has spaces in it, a Wine prefix shared by the tests and made
# once (wineboot). Exits 77, saying what is missing, without wine, Xvfb or the zip (1 with
# VELOR_WINDOWS_REQUIRED=1, as in scripts/test, where a skip would hide a broken stage).
#   wine_session.sh ZIP PREFIX_DIR TEST_SCRIPT [ARGS...]
# The test script runs with VELOR_WIN_DIR (the unpacked folder) and WINEPREFIX set, in a scratch
# folder of its own that is removed afterwards.
set -u
zip=$1
prefix=$2
shift 2

missing=77
[ "${VELOR_WINDOWS_REQUIRED:-0}" = 1 ] && missing=1
if [ -z "${VELOR_WINE_INNER:-}" ]; then
    for tool in wine xvfb-run xdotool unzip; do
        if ! command -v "$tool" >/dev/null; then
            echo "wine_session: $tool is not installed (scripts/windows --test installs it)"
            exit $missing
        fi
    done
    if [ ! -f "$zip" ]; then
        echo "wine_session: $zip is missing (scripts/windows makes it)"
        exit $missing
    fi
    export VELOR_WINE_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" bash "$0" "$zip" "$prefix" "$@"
fi

export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64
# No .NET or HTML engine: their installers would ask in a window nobody sees.
export WINEDLLOVERRIDES="mscoree,mshtml="
export SDL_AUDIODRIVER=dummy
mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if [ ! -f "$prefix/.booted" ]; then
        rm -rf "$prefix"
        wineboot --init >/dev/null 2>&1 && wineserver -w && touch "$prefix/.booted"
    fi
) 9>"$prefix.lock"
if [ ! -f "$prefix/.booted" ]; then
    echo "wine_session: wineboot could not make a prefix in $prefix"
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Velor for Windows"
unzip -q "$zip" -d "$work/Velor for Windows"
export VELOR_WIN_DIR
VELOR_WIN_DIR=$(find "$work/Velor for Windows" -mindepth 1 -maxdepth 1 -type d | head -n 1)
cd "$work" || exit 1
bash "$@"
status=$?
# Each X server dies with its session: the Wine processes on it are ended first.
wineserver -k 2>/dev/null
exit $status
