#!/usr/bin/env bash
# Measures what the user sees: builds the benchmark and runs it on a real
# display (Xvfb with a window manager), the window shown, its real handlers
# driven. Prints each case's time and peak memory next to bare shown
# QPlainTextEdit and QTextEdit widgets given the same text.
#   scripts/bench.sh
set -euo pipefail
cd "$(dirname "$0")/.."
[ -d build ] || scripts/setup.sh
if ! command -v openbox >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends openbox
fi
cmake --build build -j2 --target fortelle_bench
bench=$(realpath build/bench/fortelle_bench)
echo "machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "openbox >/dev/null 2>&1 & sleep 1; QT_QPA_PLATFORM=xcb '$bench'"
