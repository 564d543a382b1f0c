#!/bin/sh
# Starts the program's windows under Xvfb with sample content and saves a PNG
# of each window into the given folder (default: build/screenshots).
# Usage: tools/screenshots.sh [folder]   (after `make build`)
# At twice the size: QT_SCALE_FACTOR=2 tools/screenshots.sh build/screenshots-2x
# (the virtual screen grows with the factor, so the main window fits).
# Dark: ZELMORA_SHOTS_DARK=1; a larger font: ZELMORA_SHOTS_POINTS=14; another
# style: tools/screenshots.sh folder -style Adwaita.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build/screenshots}
[ $# -gt 0 ] && shift
mkdir -p "$out"
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox --disable-gpu"
case ${QT_SCALE_FACTOR:-1} in
    1) screen=1280x1024x24 ;;
    *) screen=2560x2048x24 ;;
esac
xvfb-run -a -s "-screen 0 $screen" "$top/build/default/bin/zelmora_screenshots" "$out" "$@"
