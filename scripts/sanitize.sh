#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer in a
# second build folder (default build-asan) and runs it, then runs every fuzz target for
# SECONDS seconds (default 20). Any sanitizer finding fails.
#
# Usage: scripts/sanitize.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build_dir=${LUMIO_ASAN_BUILD_DIR:-build-asan}

bash scripts/install-deps.sh
bash scripts/configure-sanitized.sh "$build_dir"
cmake --build "$build_dir"
source scripts/sanitizer-options.sh
ctest --test-dir "$build_dir" --output-on-failure --timeout 900
bash scripts/fuzz.sh "$seconds" "$build_dir"
