#!/usr/bin/env bash
# Installs what is missing, builds Zepta in Release with Debian's build flags
# (build-package/, no tests) and makes its Debian package with CPack, then
# checks the launcher, the AppStream metainfo and the package (lintian fails
# on errors; warnings are shown). Prints the package's path last.
#   tools/package.sh           the package, build-package/zepta_<version>_<arch>.deb
#   tools/package.sh --check   and then installs it into a clean Debian root and
#                              runs the programs there (tools/packagecheck.sh)
# ZEPTA_PACKAGE_DIR names another build folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZEPTA_PACKAGE_DIR:-$root/build-package}"
check=0
case "${1:-}" in
    --check) check=1 ;;
    "") ;;
    *) echo "Usage: tools/package.sh [--check]" >&2; exit 2 ;;
esac
"$root/tools/install-deps.sh" dpkg-dev file desktop-file-utils appstream lintian

# What Debian's own packages are built with: hardening, and no build paths inside.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEPTA_BUILD_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build"
rm -f "$build"/zepta_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/zepta_*.deb)

desktop-file-validate "$root/packaging/zepta.desktop"
appstreamcli validate --no-net "$root"/packaging/*.metainfo.xml
lintian --fail-on error --tag-display-limit 0 "$deb"

if [ "$check" -eq 1 ]; then
    "$root/tools/packagecheck.sh" "$deb"
fi
echo "$deb"
