#!/bin/sh
# Runs a test with a Secret Service of its own: gnome-keyring-daemon on a
# private session bus, its keyrings in a fresh HOME. Exit status 77 (CTest's
# SKIPPED) with the reason when either cannot start.
for tool in dbus-run-session gnome-keyring-daemon; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: $tool is missing (make deps)"; exit 77; }
done
home=$(mktemp -d) || exit 1
trap 'rm -rf "$home"' EXIT
HOME=$home XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home dbus-run-session -- sh -c '
  printf %s unlock | gnome-keyring-daemon --unlock --components=secrets >/dev/null 2>&1 \
    || { echo "SKIPPED: gnome-keyring-daemon did not start"; exit 77; }
  "$@"' sh "$@"
