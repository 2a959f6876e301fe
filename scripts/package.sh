#!/usr/bin/env bash
# Builds the Debian package lumio_<version>_<arch>.deb in a clean build folder (tests
# and benchmarks off, Debian's hardening flags on) and prints its path.
# Usage: scripts/package.sh [build-folder]   (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
build_dir=${1:-build-package}
rm -rf "$build_dir"

# Every hardening feature dpkg-buildflags knows, as Debian's own packages are built.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all

CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DLUMIO_BUILD_TESTS=OFF -DLUMIO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" >&2
(cd "$build_dir" && cpack -G DEB >/dev/null)
ls "$(pwd)/$build_dir"/lumio_*.deb
