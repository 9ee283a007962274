#!/usr/bin/env bash
# Rewrites golden files from the programs in ./build after a deliberate
# change of a report or flow; review the result with `git diff`.
#   scripts/update-golden.sh [FILE...]   (default: every golden file)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j2 --target fortelle-cli fortelle_transcript >/dev/null
files=("$@")
[ ${#files[@]} -gt 0 ] || files=(tests/golden/*.txt)
PATH="$PWD/build:$PWD/build/tests:$PATH" tests/golden/run.sh --update "${files[@]}"
