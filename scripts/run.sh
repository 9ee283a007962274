#!/usr/bin/env bash
# Builds Fortelle and starts it. Without a display, says so and prints a
# sample report from the command-line program instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/fortelle
fi
echo "No display is available, so the window cannot open. A sample report from fortelle-cli:"
./build/fortelle-cli lotto 49 6 6 2>/dev/null || ./build/fortelle-cli horses 8
