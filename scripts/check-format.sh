#!/usr/bin/env bash
# Fails, naming the files, when a C++ source is not as clang-format writes it
# (.clang-format at the top gives the style). Fix with:
#   git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is not installed"; exit 77; }
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench -name '*.cpp' -o -name '*.h')
# One clang-format for many files; it names each file that would change.
if ! out=$(echo "$files" | xargs -P2 -n40 clang-format --dry-run --Werror 2>&1); then
  echo "$out" | grep -oE '^[^:]+\.(cpp|h):' | sort -u | sed 's/:$//; s/^/not formatted: /'
  exit 1
fi
