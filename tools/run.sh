#!/usr/bin/env bash
# Installs what is missing, builds Zepta (Release) and starts it in the current
# directory, where it keeps its settings file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DZEPTA_BUILD_TESTS=OFF >/dev/null
cmake --build "$root/build-release" --target zepta zepta-cli zepta-sim
exec "$root/build-release/app/zepta" "$@"
