#!/usr/bin/env bash
# Builds QUELM and opens its main window under Wine: on $DISPLAY when there is one, otherwise
# on a private Xvfb display, saving a screenshot. WINEPREFIX defaults to .wine in the project.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
source tools/wine-env.sh # before CMake: it finds the Wine that CTest uses
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target QUELM

export WINEPREFIX=${WINEPREFIX:-$PWD/.wine}
exe=build/win64/app/QUELM.exe

if [ -n "${DISPLAY:-}" ]; then
    if [ ! -d "$WINEPREFIX" ]; then
        quelm_start_prefix
        quelm_fonts
    fi
    exec wine "$exe"
fi

trap quelm_stop EXIT
quelm_start_xvfb
quelm_prepare_prefix
wine "$exe" >/dev/null 2>&1 &
window=""
for _ in $(seq 150); do
    window=$(xdotool search --onlyvisible --name '^QUELM$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.2
done
sleep 1
shot=${QUELM_SCREENSHOT:-$PWD/build/quelm-screenshot.png}
import -window "${window:-root}" "$shot"
echo "QUELM opened on the virtual display $DISPLAY (no screen here); screenshot: $shot"
wineserver -k >/dev/null 2>&1 || true
