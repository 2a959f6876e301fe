#!/usr/bin/env bash
# Installs what building and running need (not the test tools), builds Lumio and starts
# it with the arguments given, which are taken from the folder the command was run in:
#   bash scripts/run.sh ~/Music
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${LUMIO_BUILD_DIR:-build}
[[ $build_dir == /* ]] || build_dir=$repo/$build_dir
options=()
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  # A first build only to run: the tests and benchmarks need packages that running does
  # not. A folder configured before (by scripts/test.sh) keeps its configuration.
  options=(-DLUMIO_BUILD_TESTS=OFF -DLUMIO_BUILD_BENCHMARKS=OFF)
fi
(
  cd "$repo"
  bash scripts/install-deps.sh --run
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
  cmake --build "$build_dir" --target lumio
)
exec "$build_dir/app/lumio" "$@"
