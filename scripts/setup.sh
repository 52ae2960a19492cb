#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Does nothing (quickly) when they are all there already.
set -euo pipefail

packages=(cmake g++ make python3 qt6-base-dev libgl-dev libgtest-dev libbenchmark-dev libgdal-dev gdal-bin
    libcli11-dev fonts-comic-neue desktop-file-utils parallel)
if [ "${QUILLMAP4_SETUP_EXTRA:-}" != "" ]; then
    read -r -a extra <<<"$QUILLMAP4_SETUP_EXTRA"
    packages+=("${extra[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
