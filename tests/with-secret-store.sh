#!/bin/sh
# Runs a test with a desktop secret store of its own: a private session bus and a GNOME keyring
# unlocked with a throwaway password, in a temporary home, so nothing of the user's is touched.
# Both end with the bus.
set -eu
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/run"
export HOME="$home" XDG_DATA_HOME="$home/share" XDG_CONFIG_HOME="$home/config" \
    XDG_RUNTIME_DIR="$home/run"
status=0
dbus-run-session -- sh -c \
    'printf throwaway | gnome-keyring-daemon --unlock --components=secrets >/dev/null && exec "$@"' \
    sh "$@" || status=$?
exit "$status"
