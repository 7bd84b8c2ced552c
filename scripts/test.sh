#!/usr/bin/env bash
# Sets up, builds and runs every test headless: no display, private config and runtime
# folders, and a private D-Bus session bus.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh "$@"
export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR="$(mktemp -d)"; chmod 700 "$XDG_RUNTIME_DIR"; export XDG_RUNTIME_DIR
XDG_CONFIG_HOME="$(mktemp -d)"; export XDG_CONFIG_HOME
XDG_DATA_HOME="$(mktemp -d)"; export XDG_DATA_HOME
XDG_CACHE_HOME="$(mktemp -d)"; export XDG_CACHE_HOME
trap 'rm -rf "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"' EXIT
dbus-run-session -- ctest --test-dir build --output-on-failure --no-tests=error -j2 --timeout 300
