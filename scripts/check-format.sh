#!/usr/bin/env bash
# Checks that every tracked C++ file (.h, .cpp) is laid out as the project's .clang-format says,
# with Debian's clang-format-14; lists the differences and fails when there are any.
# Exit 77 (skipped) where clang-format-14 is missing or the tree is no git checkout, unless
# JOBLOG_FORMAT_REQUIRED=1 makes that a failure (scripts/test.sh).
#   scripts/check-format.sh            fix with: clang-format-14 -i FILE...
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
unavailable() {
  echo "check-format: $1" >&2
  [ "${JOBLOG_FORMAT_REQUIRED:-0}" = 1 ] && exit 1
  exit 77
}
command -v clang-format-14 >/dev/null || unavailable "clang-format-14 is not installed"
git -C "$here" rev-parse --is-inside-work-tree >/dev/null 2>&1 || unavailable "not a git checkout"

cd "$here"
files=()
while IFS= read -r -d '' f; do [ -f "$f" ] && files+=("$f"); done < <(git ls-files -z -- '*.h' '*.cpp')
if ! clang-format-14 --style=file --dry-run --Werror "${files[@]}"; then
  echo "check-format: the files above differ from .clang-format; clang-format-14 -i fixes them" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files as .clang-format lays them out"
