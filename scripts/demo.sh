#!/usr/bin/env bash
# Sets up, builds and runs the demo headless: a North America map of the sample drive in
# examples/, saved into out/ as a map (KML), a picture (BMP), a web page and a CSV.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
mkdir -p out
# The demo keeps its settings to itself: yours in ~/.config stay untouched.
demo_config="$(mktemp -d)"
trap 'rm -rf "$demo_config"' EXIT
XDG_CONFIG_HOME="$demo_config" QT_QPA_PLATFORM=offscreen \
  build/bin/aeroplotter --unattended --script examples/demo.aps
echo
echo "Demo done. The sample drive, four ways:"
for f in out/demo.kml out/demo.bmp out/demo.html out/demo.csv; do
  printf '  %-16s %s\n' "$f" "$(du -h "$f" | cut -f1)"
done
echo
echo "Open the map in the program:  build/bin/aeroplotter out/demo.kml"
