#!/usr/bin/env bash
# Installs what is missing, builds Zepta with its tests and runs the whole suite
# headless. ZEPTA_BUILD_DIR (default build-test) names the build folder and
# ZEPTA_CMAKE_ARGS adds CMake options (.ci/run turns on warnings as errors and
# the sanitizer build).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
build="${ZEPTA_BUILD_DIR:-build-test}"
# shellcheck disable=SC2086 # the extra arguments are words on purpose
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    ${ZEPTA_CMAKE_ARGS:-} >/dev/null
cmake --build "$build"
export QT_QPA_PLATFORM=offscreen
cd "$build" && ctest --output-on-failure --timeout 300
