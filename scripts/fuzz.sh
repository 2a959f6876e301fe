#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz, clang with sanitizers, in build-asan unless a
# build folder is given) and runs each for SECONDS seconds, starting from the seeds that
# make-fuzz-corpus.sh writes. Inputs that add coverage are kept in
# BUILD/fuzz/corpus/TARGET for the next run; an input that fails is saved as
# BUILD/fuzz/TARGET-crash-… and the script fails.
#
# Usage: scripts/fuzz.sh SECONDS [BUILD-FOLDER]
#   Re-run one finding: BUILD/tests/fuzz/TARGET BUILD/fuzz/TARGET-crash-…
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [BUILD-FOLDER]}
build_dir=${2:-build-asan}

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  bash scripts/configure-sanitized.sh "$build_dir"
fi
cmake --build "$build_dir" --target lumio_fuzz_targets
source scripts/sanitizer-options.sh

seeds="$build_dir/fuzz/seeds"
bash scripts/make-fuzz-corpus.sh "$seeds"
targets=$(find "$build_dir/tests/fuzz" -maxdepth 1 -type f -name '*_fuzz' -perm -u+x | sort)
[ -n "$targets" ] || { echo "fuzz: no fuzz targets in $build_dir/tests/fuzz" >&2; exit 1; }
for program in $targets; do
  name=$(basename "$program")
  corpus="$build_dir/fuzz/corpus/$name"
  mkdir -p "$corpus" "$seeds/$name"
  echo "fuzz: $name for $seconds s"
  "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build_dir/fuzz/$name-" "$corpus" "$seeds/$name" 2>"$build_dir/fuzz/$name.log" ||
    { tail -n 60 "$build_dir/fuzz/$name.log" >&2; echo "fuzz: $name failed" >&2; exit 1; }
  grep -E '^stat::(number_of_executed_units|new_units_added)' "$build_dir/fuzz/$name.log" | sed "s/^/fuzz: $name /"
done
