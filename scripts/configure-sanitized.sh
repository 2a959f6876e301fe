#!/usr/bin/env bash
# Configures a build folder (default build-asan) with clang, AddressSanitizer,
# UndefinedBehaviorSanitizer and the libFuzzer targets. Used by sanitize.sh and fuzz.sh.
# Warnings are not errors here: the ordinary build (scripts/test.sh) enforces them.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-asan}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DLUMIO_FUZZ=ON -DLUMIO_BUILD_BENCHMARKS=OFF >/dev/null
