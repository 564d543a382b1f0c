#!/bin/sh
# Runs a test binary on a display server of its own (display.sh): Xvfb with
# Qt's xcb platform, or a headless weston with Qt's wayland platform.
#
# Usage: with_display.sh x11|wayland <test binary> [test arguments]
#
# Exits 77, which CTest reports as SKIPPED, with the reason when the server
# cannot start; otherwise with the test's own status.
set -u
platform=$1
binary=$2
shift 2
. "$(dirname "$0")/display.sh"

skip() {
    echo "SKIPPED: no $platform display for the test: $1" >&2
    exit 77
}

tmp=$(mktemp -d) || skip "no temporary folder"
cleanup() {
    stop_display
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

case $platform in
    x11) start_xvfb "$tmp" || skip "$display_problem"; QT_QPA_PLATFORM=xcb ;;
    wayland) start_weston "$tmp" || skip "$display_problem"; QT_QPA_PLATFORM=wayland ;;
    *) echo "with_display.sh: unknown platform $platform" >&2; exit 2 ;;
esac
export QT_QPA_PLATFORM
"$binary" "$@"
status=$?
if [ $status -ne 0 ] && [ -f "$tmp/weston.log" ]; then
    echo "--- weston log (last lines) ---" >&2
    tail -n 20 "$tmp/weston.log" >&2
fi
exit $status
