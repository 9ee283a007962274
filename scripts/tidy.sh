#!/usr/bin/env bash
# Runs clang-tidy (the checks .clang-tidy names, warnings as errors) over
# every source under src/ built for this machine, two at a time.
#   scripts/tidy.sh [BUILD_FOLDER]   (default: build, configured by setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
command -v clang-tidy >/dev/null || { echo "clang-tidy is not installed (Debian package clang-tidy)"; exit 1; }
cmake -S . -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake --build "$build" -j2 >/dev/null # the generated sources (moc) must exist
python3 - "$build" <<'PY' | xargs -0 -P2 -n1 clang-tidy -p "$build" --quiet 2>/dev/null
import json, os, sys
files = sorted({e["file"] for e in json.load(open(os.path.join(sys.argv[1], "compile_commands.json")))
                if "/src/" in e["file"] and "_autogen" not in e["file"]})
sys.stdout.write("\0".join(files))
PY
