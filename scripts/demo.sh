#!/usr/bin/env bash
# Sets up, builds and runs the demo headless: a North America map of the sample drive in
# examples/, saved into out/ as a map (KML), a picture (BMP), a web page and a CSV; then the
# offline demo, a drive through Monaco drawn over the OpenStreetMap extract shipped in
# examples/monaco/, with online tiles switched off.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Only the program the demo runs; scripts/test.sh builds the rest.
AERO_TARGETS=aeroplotter scripts/build.sh
mkdir -p out
# The demo keeps its settings to itself: yours in ~/.config stay untouched.
demo_config="$(mktemp -d)"
offline_config="$(mktemp -d)"
offline_data="$(mktemp -d)"
trap 'rm -rf "$demo_config" "$offline_config" "$offline_data"' EXIT
XDG_CONFIG_HOME="$demo_config" QT_QPA_PLATFORM=offscreen \
  build/bin/aeroplotter --unattended --script examples/demo.aps

# The offline demo: the Monaco extract as map data, no online tiles, its cache kept apart too.
version="$(sed -n 's/^VersionID=//p' "$demo_config/Aeroplotter/Aeroplotter.conf")"
mkdir -p "$offline_config/Aeroplotter"
printf '[Config]\nVersionID=%s\nTilesEnabled=0\nOsmExtracts=%s\n' \
  "$version" "$PWD/examples/monaco/monaco-latest.osm.pbf" > "$offline_config/Aeroplotter/Aeroplotter.conf"
XDG_CONFIG_HOME="$offline_config" XDG_DATA_HOME="$offline_data" QT_QPA_PLATFORM=offscreen \
  build/bin/aeroplotter --unattended --script examples/demo-monaco.aps
echo
echo "Demo done. The sample drive, four ways, and the Monaco drive drawn offline:"
for f in out/demo.kml out/demo.bmp out/demo.html out/demo.csv out/monaco.kml out/monaco.bmp out/monaco.html out/monaco.csv; do
  printf '  %-16s %s\n' "$f" "$(du -h "$f" | cut -f1)"
done
echo
echo "Open the maps in the program:  build/bin/aeroplotter out/demo.kml   (or out/monaco.kml)"
