#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Aeroplotter needs.
# Idempotent: when everything is present it does nothing. Uses sudo only when not root.
set -euo pipefail

PKGS=(cmake ninja-build g++ pkg-config
      qt6-base-dev qt6-serialport-dev qt6-image-formats-plugins
      libgtest-dev libgmock-dev libbenchmark-dev
      libzip-dev libsqlite3-dev libpq-dev ieee-data
      postgresql-15 postgresql-15-postgis-3 gdal-bin
      libosmium2-dev libprotozero-dev zlib1g-dev libexpat1-dev
      dbus xvfb xauth gpsd
      clang-14 libclang-rt-14-dev
      stress-ng)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
((${#missing[@]})) || exit 0

SUDO=()
if [ "$(id -u)" -ne 0 ]; then SUDO=(sudo); fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
