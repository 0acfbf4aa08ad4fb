#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: every test in a normal build,
# then the unit and process tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$here/scripts/setup.sh" "$here/build"
(cd "$here/build" && ctest --output-on-failure -j"$jobs")

"$here/scripts/setup.sh" "$here/build-sanitize" -DJOBLOG_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd "$here/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs" -L 'unit|process')
"$here/scripts/fuzz.sh" "$here/build-fuzz"
