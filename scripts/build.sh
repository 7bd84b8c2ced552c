#!/usr/bin/env bash
# Configures and builds into ./build (Release with debug info). Extra arguments go to cmake.
# AERO_TARGETS names the targets to build (default: everything, tests included).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
# shellcheck disable=SC2086  # a list of target names
cmake --build build ${AERO_TARGETS:+--target $AERO_TARGETS}
