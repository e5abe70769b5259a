#!/usr/bin/env bash
# Installs what building, testing and running need on a fresh Debian machine, and any further
# packages named on the command line. Quiet when all is there already.
#   ./scripts/setup.sh [PACKAGE ...]
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-base-private-dev qt6-serialport-dev qt6-svg-dev libgl-dev "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
