#!/bin/sh
# Runs the input-method test binary as a user types Japanese: its own Xvfb
# display (started by with_display.sh, beside this script), a private session
# bus, and fcitx5 with Mozc as the active input method, all with the user's
# places in a fresh temporary folder (through with_user_folders, built beside
# the test binary).
#
# Usage: with_input_method.sh <test binary> [test arguments]
#
# Whatever cannot be set up (a missing program, a daemon that does not come
# up) is handed to the test binary as ZELMORA_IME_SKIP, which then reports the
# test SKIPPED with that reason instead of passing.
#
# Mozc's server refuses to run as root, so under root (CI) everything runs as
# the user "nobody", from a copy of the binary in the temporary folder.
# Every process started here lives in one process group, which is ended when
# the test ends or its time runs out, so nothing is left running.
set -u

binary=$1
original=$1
runner=$(dirname "$1")/with_user_folders
shift

# skip <reason> [test arguments]
skip() {
    reason=$1
    shift
    echo "input method not available: $reason" >&2
    # exec runs no exit trap: the outer run removes its folder here.
    if [ "${ZELMORA_IME_INNER:-}" != 1 ] && [ -n "${tmp:-}" ]; then
        rm -rf "$tmp"
    fi
    ZELMORA_IME_SKIP=$reason QT_QPA_PLATFORM=offscreen exec "$original" "$@"
}

# Inside the session bus, as the user who types (see the end of this file).
if [ "${ZELMORA_IME_INNER:-}" = 1 ]; then
    tmp=$ZELMORA_IME_TMP
    mkdir -p "$XDG_CONFIG_HOME/fcitx5"
    # Mozc first among the input methods that the group switches to, and the
    # group active from the start: typed romaji goes to Mozc at once.
    cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
EOF
    cat >"$XDG_CONFIG_HOME/fcitx5/config" <<'EOF'
[Behavior]
ActiveByDefault=True
ShareInputState=All
EOF

    display_functions_only=1
    . "$(dirname "$0")/with_display.sh"
    start_xvfb "$tmp" || skip "$display_problem" "$@"

    fcitx5 --disable=wayland,waylandim,kimpanel,notificationitem,notifications,clipboard \
        >"$tmp/fcitx5.log" 2>&1 &
    fcitx=$!
    # NameHasOwner, unlike a call to fcitx5 itself, never starts a second
    # fcitx5 through the bus's service activation.
    tries=0
    until dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null \
            | grep -q 'boolean true'; do
        tries=$((tries + 1))
        if ! kill -0 "$fcitx" 2>/dev/null || [ $tries -gt 150 ]; then
            skip "fcitx5 did not come up on the session bus within 30 s: $(tail -n 5 "$tmp/fcitx5.log" | tr '\n' ' ')" "$@"
        fi
        sleep 0.2
    done

    QT_QPA_PLATFORM=xcb QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx
    export QT_QPA_PLATFORM QT_IM_MODULE XMODIFIERS
    "$binary" "$@"
    status=$?
    if [ $status -ne 0 ]; then
        echo "--- fcitx5 log (last lines) ---" >&2
        tail -n 20 "$tmp/fcitx5.log" >&2
    fi
    exit $status
fi

for program in Xvfb xdotool dbus-run-session dbus-send fcitx5 setpriv timeout "$runner"; do
    command -v "$program" >/dev/null 2>&1 || skip "$program is not installed" "$@"
done
[ -f /usr/share/fcitx5/addon/mozc.conf ] || skip "fcitx5-mozc is not installed" "$@"
ls /usr/lib/*/qt6/plugins/platforminputcontexts/libfcitx5platforminputcontextplugin.so \
    >/dev/null 2>&1 || skip "fcitx5-frontend-qt6 (Qt 6's fcitx5 module) is not installed" "$@"

tmp=$(mktemp -d) || skip "no temporary folder" "$@"
group=
cleanup() {
    if [ -n "$group" ] && kill -TERM "-$group" 2>/dev/null; then
        tries=0
        while kill -0 "-$group" 2>/dev/null && [ $tries -lt 50 ]; do
            tries=$((tries + 1))
            sleep 0.1
        done
        kill -KILL "-$group" 2>/dev/null
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

run_as=
if [ "$(id -u)" = 0 ]; then
    user=nobody
    id "$user" >/dev/null 2>&1 || skip "running as root, and there is no user nobody for Mozc's server" "$@"
    cp "$binary" "$tmp/test" && cp "$0" "$tmp/with_input_method.sh" && cp "$runner" "$tmp/with_user_folders" \
        && cp "$(dirname "$0")/with_display.sh" "$tmp/with_display.sh" || skip "cannot copy the test" "$@"
    binary=$tmp/test
    self=$tmp/with_input_method.sh
    runner=$tmp/with_user_folders
    chmod 755 "$tmp" "$binary" "$self" "$runner"
    chmod 644 "$tmp/with_display.sh"
    chown -R "$user" "$tmp"
    run_as="setpriv --reuid=$(id -u $user) --regid=$(id -g $user) --clear-groups"
    # Listing the tests starts nothing, but shows whether the copy can run
    # from there at all (a temporary folder mounted noexec cannot).
    $run_as "$binary" --gtest_list_tests >/dev/null 2>&1 \
        || skip "user $user cannot run the test from $tmp (a folder mounted noexec?)" "$@"
else
    self=$0
fi

# timeout makes itself the leader of a new process group and, when the time
# runs out, ends the whole group; the cleanup ends what outlives a normal end
# (Mozc's server detaches from fcitx5).
timeout -k 10 240 $run_as env ZELMORA_IME_INNER=1 ZELMORA_IME_TMP="$tmp" \
    "$runner" "$tmp/user" dbus-run-session -- sh "$self" "$binary" "$@" &
group=$!
wait $group
status=$?
[ $status -eq 124 ] && echo "the input-method test ran out of time (240 s)" >&2
exit $status
