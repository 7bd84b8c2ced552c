#!/usr/bin/env bash
# Sets up, builds and runs every test headless (see test-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh "$@"
scripts/test-env.sh ctest --test-dir build --output-on-failure --no-tests=error -j2 --timeout 300
