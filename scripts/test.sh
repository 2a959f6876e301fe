#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
build_dir=${LUMIO_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIO_WARNINGS_AS_ERRORS=ON \
  -DLUMIO_BUILD_TESTS=ON -DLUMIO_BUILD_BENCHMARKS=ON
cmake --build "$build_dir"
ctest --test-dir "$build_dir" --output-on-failure --timeout 600
