#!/usr/bin/env bash
# Builds the Debian package lumio_<version>_<arch>.deb in a clean build folder (tests
# and benchmarks off, Debian's hardening flags on) and prints its path. Two builds of
# one commit give byte-identical packages, wherever their build folders lie.
# Usage: scripts/package.sh [build-folder]   (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
build_dir=${1:-build-package}
[[ $build_dir == /* ]] || build_dir=$(pwd)/$build_dir
rm -rf "$build_dir"

# Every time stamp in the package is the last commit's (the change log's outside a git
# checkout), so that two builds of one commit give the same bytes.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null ||
    dpkg-parsechangelog -l dist/changelog -S Timestamp)
fi
export SOURCE_DATE_EPOCH

# Every hardening feature dpkg-buildflags knows, as Debian's own packages are built.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all

# dpkg-buildflags maps the source folder's path out of the program; the build folder's
# is mapped out too, so that where the build ran leaves no trace.
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS) -ffile-prefix-map=$build_dir=." \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DLUMIO_BUILD_TESTS=OFF -DLUMIO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" >&2
(cd "$build_dir" && cpack -G DEB >/dev/null)
ls "$build_dir"/lumio_*.deb
