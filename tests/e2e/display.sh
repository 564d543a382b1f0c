# Display servers of a test's own, for the scripts that run a test binary on
# a real window system (with_display.sh, with_input_method.sh). Sourced:
#
#   start_xvfb <folder>     an Xvfb display; exports DISPLAY
#   start_weston <folder>   a headless Wayland compositor (weston) with its
#                           runtime folder in <folder>; exports
#                           XDG_RUNTIME_DIR and WAYLAND_DISPLAY
#
# Each writes its server's log into <folder> and leaves the server's process
# id in display_pid. When the server cannot start it returns 1, with the
# reason in display_problem. The caller ends the server (stop_display, or
# its process group).

display_pid=
display_problem=

# wait_for_display <file> <log> <name>: until the server has made the file,
# 20 s at most.
wait_for_display() {
    tries=0
    while [ ! -s "$1" ] && [ ! -S "$1" ]; do
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
    : >"$1/display"
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$1/display" 2>"$1/xvfb.log" &
    display_pid=$!
    wait_for_display "$1/display" "$1/xvfb.log" Xvfb || return 1
    DISPLAY=:$(head -n 1 "$1/display")
    export DISPLAY
}

start_weston() {
    command -v weston >/dev/null 2>&1 || { display_problem="weston is not installed"; return 1; }
    ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 \
        || { display_problem="qt6-wayland (Qt 6's Wayland platform) is not installed"; return 1; }
    # The compositor's socket lives in the runtime folder, which must be the
    # user's alone.
    XDG_RUNTIME_DIR=$1/runtime
    mkdir -m 0700 "$XDG_RUNTIME_DIR" || { display_problem="cannot make $XDG_RUNTIME_DIR"; return 1; }
    export XDG_RUNTIME_DIR
    weston --no-config --backend=headless-backend.so --use-pixman --width=1280 --height=1024 \
        --idle-time=0 --socket=wayland-test >"$1/weston.log" 2>&1 &
    display_pid=$!
    wait_for_display "$XDG_RUNTIME_DIR/wayland-test" "$1/weston.log" weston || return 1
    WAYLAND_DISPLAY=wayland-test
    export WAYLAND_DISPLAY
    unset DISPLAY
}

stop_display() {
    [ -n "$display_pid" ] || return 0
    kill "$display_pid" 2>/dev/null
    wait "$display_pid" 2>/dev/null
    display_pid=
}
