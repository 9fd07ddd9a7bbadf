#!/usr/bin/env bash
# Installs what is missing, builds Zepta (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEPTA_BUILD_TESTS=OFF >/dev/null
cmake --build build-release --target zepta zepta-cli
exec build-release/app/zepta "$@"
