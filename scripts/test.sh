#!/usr/bin/env bash
# Builds Fortelle and runs the whole test suite headless. Where the web
# edition's tools are installed (emscripten, Chromium, npm), or when
# FORTELLE_WEB_TESTS=1 asks for them, the web page's tests run too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
if [ "${FORTELLE_WEB_TESTS:-}" = 1 ] ||
   { command -v emcc && command -v chromium && command -v npm; } >/dev/null 2>&1; then
  scripts/test-web.sh
fi
