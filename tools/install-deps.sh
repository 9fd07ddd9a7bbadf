#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Zepta needs to build, run and test,
# asking apt only for what is missing. Arguments name further packages a tool
# needs (tools/fuzz.sh: clang and its libFuzzer runtime; tools/bench.sh: xvfb).
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev
          fonts-dejavu-core "$@")

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
