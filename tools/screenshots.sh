#!/bin/sh
# Starts the program's windows under Xvfb with sample content and saves a PNG
# of each window into the given folder (default: build/screenshots).
# Usage: tools/screenshots.sh [folder]   (after `make build`)
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build/screenshots}
mkdir -p "$out"
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox --disable-gpu"
xvfb-run -a -s "-screen 0 1280x1024x24" "$top/build/default/bin/zelmora_screenshots" "$out"
