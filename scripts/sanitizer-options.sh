# Sourced by sanitize.sh and fuzz.sh: how the sanitizers report. LeakSanitizer skips
# the leaks listed in tests/sanitizers/lsan.supp, which lie inside system libraries.
repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:check_initialization_order=1:strict_init_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$repo_root/tests/sanitizers/lsan.supp:print_suppressions=0}
