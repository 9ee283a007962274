#!/usr/bin/env bash
# Runs the window under Xvfb with Qt's accessibility on, and checks what the
# AT-SPI tree shows of it (tests/a11y/check_tree.py). Exits 77 (skipped)
# when the tools for it are not installed.
#   scripts/check-accessibility.sh [BUILD-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
for tool in xvfb-run dbus-run-session /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi is not installed"; exit 77; }
# A folder of its own for the program, which keeps its parameter files beside it.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/fortelle" "$work/"
export work
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/fortelle" 2>/dev/null &
  program=$!
  /usr/bin/python3 tests/a11y/check_tree.py; status=$?
  kill $program 2>/dev/null; wait $program 2>/dev/null
  exit $status'
