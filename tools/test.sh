#!/usr/bin/env bash
# Installs what is missing, builds Zepta with its tests and runs the whole suite
# headless.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${ZEPTA_CMAKE_ARGS:-} >/dev/null
cmake --build build-test
export QT_QPA_PLATFORM=offscreen
cd build-test && ctest --output-on-failure --timeout 300
