#!/usr/bin/env bash
# Builds the libFuzzer target with clang and fuzzes the filter core for a bounded time, starting
# from the committed seed corpus (fuzzed in a copy, so the repository stays as it is). Fails when
# the fuzzer finds a crash, a leak, a sanitizer report or a failed output check; the input that
# found it is kept in <build>/fuzz-findings.
#   scripts/fuzz.sh [build-dir]     (FUZZ_SECONDS overrides the 60 seconds)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-fuzz}
seconds=${FUZZ_SECONDS:-60}

CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" -DJOBLOG_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target jobtypefilter_fuzzer

rm -rf "$build/fuzz-findings"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$here/tests/fuzz/corpus" "$work/corpus"
mkdir "$work/findings"

status=0
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$build/tests/fuzz/jobtypefilter_fuzzer" "$work/corpus" \
  -dict="$here/tests/fuzz/jobtypefilter.dict" \
  -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len=16384 \
  -artifact_prefix="$work/findings/" -print_final_stats=1 > "$work/fuzz.log" 2>&1 || status=$?
# The progress lines go to the log; the end of it tells how the run went.
if ((status != 0)); then cat "$work/fuzz.log" >&2; else tail -n 12 "$work/fuzz.log"; fi

if ((status != 0)) || [ -n "$(ls -A "$work/findings")" ]; then
  mkdir -p "$build/fuzz-findings"
  cp -r "$work/findings/." "$build/fuzz-findings/" 2>/dev/null || true
  echo "fuzz: the fuzzer found a fault (exit $status); inputs in $build/fuzz-findings" >&2
  exit 1
fi
echo "fuzz: no findings in ${seconds}s"
