#!/usr/bin/env bash
# Fails when a C++ source of the project is not as clang-format (with the
# project's .clang-format) would write it, and names the lines:
#   tools/check_format.sh [SOURCE_ROOT]
# To mend: clang-format -i on the files named.
set -euo pipefail
ROOT=$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/..}" && pwd)
command -v clang-format >/dev/null || { echo "check_format: clang-format is missing (apt-get install clang-format)" >&2; exit 1; }
cd "$ROOT"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
else
  find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror
fi
