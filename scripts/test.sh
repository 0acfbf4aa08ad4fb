#!/usr/bin/env bash
# Installs what is missing, builds, checks the C++ files' layout (clang-format-14), and runs the
# whole test suite: every test in a normal build; the unit and process tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer; then a bounded fuzzing run of the filter core.
# Ends with one line counting every test run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

"$here/scripts/setup.sh" "$here/build"
# The layout of the C++ files, where a missing clang-format-14 fails too: a difference fails the
# suite before any test runs.
JOBLOG_FORMAT_REQUIRED=1 "$here/scripts/check-format.sh"
(cd "$here/build" && ctest --output-on-failure -j"$jobs") | tee -a "$log"

"$here/scripts/setup.sh" "$here/build-sanitize" -DJOBLOG_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd "$here/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs" -L 'unit|process') | tee -a "$log"

"$here/scripts/fuzz.sh" "$here/build-fuzz"

# "N% tests passed, F tests failed out of T" from each ctest run.
awk '/tests passed, .* tests failed out of/ { failed += $4; total += $NF }
     END { printf "suite: %d passed, %d failed\n", total - failed, failed }' "$log"
