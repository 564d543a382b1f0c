#!/bin/sh
# Runs a test binary on a display server of its own: Xvfb with openbox and
# Qt's xcb platform, or a headless weston (its runtime folder its own) with Qt's
# wayland platform. Exits 77, which CTest reports as SKIPPED, with the reason
# when the server cannot start.
#   with_display.sh x11|wayland <test binary> [test arguments]
# Sourced with display_functions_only=1 (with_input_method.sh), it only
# defines start_xvfb and start_weston <folder>: each starts its server with
# its log in <folder>, exports DISPLAY or WAYLAND_DISPLAY, and on failure
# returns 1 with the reason in display_problem.
set -u

# wait_for_display <file> <log> <name>: until the server has made the file.
wait_for_display() {
    tries=0
    until [ -s "$1" ] || [ -S "$1" ]; do
        tries=$((tries + 1))
        if ! kill -0 "$display_pid" 2>/dev/null || [ $tries -gt 100 ]; then
            display_problem="$3 did not start within 20 s: $(tail -n 3 "$2" | tr '\n' ' ')"
            return 1
        fi
        sleep 0.2
    done
}

start_xvfb() {
    command -v Xvfb >/dev/null 2>&1 || { display_problem="Xvfb is not installed"; return 1; }
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$1/display" 2>"$1/xvfb.log" &
    display_pid=$!
    wait_for_display "$1/display" "$1/xvfb.log" Xvfb && export DISPLAY=:$(head -n 1 "$1/display")
}

start_weston() {
    command -v weston >/dev/null 2>&1 || { display_problem="weston is not installed"; return 1; }
    ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 \
        || { display_problem="qt6-wayland is not installed"; return 1; }
    export XDG_RUNTIME_DIR="$1/runtime" WAYLAND_DISPLAY=wayland-test
    mkdir -m 0700 "$XDG_RUNTIME_DIR" || { display_problem="cannot make $XDG_RUNTIME_DIR"; return 1; }
    weston --no-config --backend=headless-backend.so --use-pixman --width=1280 --height=1024 \
        --idle-time=0 --socket=$WAYLAND_DISPLAY >"$1/weston.log" 2>&1 &
    display_pid=$!
    unset DISPLAY
    wait_for_display "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" "$1/weston.log" weston
}

# start_openbox <folder>: a window manager on the X display, as on a
# desktop: it, not the program, decides where the focus goes when a window
# closes. Waits until it has taken the screen.
start_openbox() {
    command -v openbox >/dev/null 2>&1 || { display_problem="openbox is not installed"; return 1; }
    openbox --sm-disable >"$1/openbox.log" 2>&1 &
    wm_pid=$!
    tries=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        tries=$((tries + 1))
        if ! kill -0 "$wm_pid" 2>/dev/null || [ $tries -gt 100 ]; then
            display_problem="openbox did not start within 20 s: $(tail -n 3 "$1/openbox.log" | tr '\n' ' ')"
            return 1
        fi
        sleep 0.2
    done
}

[ "${display_functions_only:-}" = 1 ] && return 0

skip() { echo "SKIPPED: no $1 display for the test: $2" >&2; exit 77; }
tmp=$(mktemp -d) || skip "$1" "no temporary folder"
display_pid= wm_pid=
trap '[ -n "$wm_pid" ] && kill $wm_pid; [ -n "$display_pid" ] && kill $display_pid; rm -rf "$tmp"' EXIT
trap 'exit 130' INT TERM
case $1 in
    x11) { start_xvfb "$tmp" && start_openbox "$tmp"; } || skip x11 "$display_problem"; export QT_QPA_PLATFORM=xcb ;;
    wayland) start_weston "$tmp" || skip wayland "$display_problem"; export QT_QPA_PLATFORM=wayland ;;
esac
shift
"$@" || { status=$?; tail -n 20 "$tmp"/*.log >&2; exit $status; }
