#!/usr/bin/env bash
# Runs a command headless: no display, private config, data, cache and runtime folders, and a
# private D-Bus session bus. The test scripts run their test runner through it.
set -euo pipefail
export QT_QPA_PLATFORM=offscreen
XDG_RUNTIME_DIR="$(mktemp -d)"; chmod 700 "$XDG_RUNTIME_DIR"; export XDG_RUNTIME_DIR
XDG_CONFIG_HOME="$(mktemp -d)"; export XDG_CONFIG_HOME
XDG_DATA_HOME="$(mktemp -d)"; export XDG_DATA_HOME
XDG_CACHE_HOME="$(mktemp -d)"; export XDG_CACHE_HOME
trap 'rm -rf "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"' EXIT
dbus-run-session -- "$@"
