#!/usr/bin/env bash
# Builds the whole project, tests included, with warnings as errors, in each build type with each
# compiler, one build directory per combination under build-matrix/. "Debian" is the build type
# None with Debian's packaging flags (dpkg-buildflags, full hardening) in the environment.
#   scripts/build-matrix.sh [TYPE...]    (default: Debug Release RelWithDebInfo MinSizeRel Debian)
#   COMPILERS="gcc clang" picks the compilers; BUILD_MATRIX_DIR moves the build directories.
# Prints one line per combination and a closing "N built, N failed"; exits 1 if any failed.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
types=("$@")
((${#types[@]})) || types=(Debug Release RelWithDebInfo MinSizeRel Debian)
read -r -a compilers <<< "${COMPILERS:-gcc clang}"
root=${BUILD_MATRIX_DIR:-$here/build-matrix}
mkdir -p "$root"
built=0 failed=0
for compiler in "${compilers[@]}"; do
  case $compiler in
    gcc) cc=gcc cxx=g++ ;;
    clang) cc=clang-14 cxx=clang++-14 ;;
    *) echo "unknown compiler $compiler (gcc or clang)" >&2; exit 2 ;;
  esac
  for type in "${types[@]}"; do
    build=$root/$compiler-$type
    log=$build.log
    rm -rf "$build"
    (
      set -e
      export CC=$cc CXX=$cxx
      cmake_type=$type
      if [ "$type" = Debian ]; then
        cmake_type=None
        eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
      fi
      cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE="$cmake_type" -DJOBLOG_WERROR=ON \
        -DJOBLOG_TEST_GROUPS=
      cmake --build "$build" -j"$(nproc)"
    ) > "$log" 2>&1
    if [ $? -eq 0 ]; then
      echo "$compiler $type: built"
      built=$((built + 1))
    else
      echo "$compiler $type: FAILED (log: $log)"
      grep -m 5 -E 'error|Error' "$log" | sed 's/^/    /'
      failed=$((failed + 1))
    fi
  done
done
echo "$built built, $failed failed"
((failed == 0))
