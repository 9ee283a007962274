#!/usr/bin/env bash
# The web edition's tests: builds the page and the native fortelle-cli, then
# drives the page in headless Chromium (playwright-core, pinned in
# tests/web/package-lock.json) and compares its reports with the CLI's.
# FORTELLE_WEB_CASES sets the random answers per calculator (default 120).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(chromium g++)
command -v npm >/dev/null || packages+=(nodejs npm)
scripts/install-missing.sh "${packages[@]}"

scripts/web.sh --build-only

# The native program to compare with: the main build's when there is one.
if [ -z "${FORTELLE_CLI:-}" ]; then
  if [ -f build/CMakeCache.txt ]; then
    cmake --build build -j2 --target fortelle-cli
    export FORTELLE_CLI="$PWD/build/fortelle-cli"
  else
    cmake -S . -B build-cli -DFORTELLE_BUILD_GUI=OFF -DFORTELLE_BUILD_TESTS=OFF >/dev/null
    cmake --build build-cli -j2 --target fortelle-cli
    export FORTELLE_CLI="$PWD/build-cli/fortelle-cli"
  fi
fi

cd tests/web
npm ci --no-audit --no-fund
node --test
