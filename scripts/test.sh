#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: every test in a normal build;
# the unit and process tests again under AddressSanitizer and UndefinedBehaviorSanitizer; then a
# bounded fuzzing run of the filter core. Ends with one line counting every test run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

"$here/scripts/setup.sh" "$here/build"
(cd "$here/build" && ctest --output-on-failure -j"$jobs") | tee -a "$log"

"$here/scripts/setup.sh" "$here/build-sanitize" -DJOBLOG_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd "$here/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs" -L 'unit|process') | tee -a "$log"

"$here/scripts/fuzz.sh" "$here/build-fuzz"

# "N% tests passed, F tests failed out of T" from each ctest run.
awk '/tests passed, .* tests failed out of/ { failed += $4; total += $NF }
     END { printf "suite: %d passed, %d failed\n", total - failed, failed }' "$log"
