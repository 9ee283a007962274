#!/usr/bin/env bash
# Installs what Fortelle needs to build and test on Debian, then configures
# and builds it in ./build. Safe to run again: it only adds what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

# Qt Charts draws the tool windows' charts and Qt SVG saves them; Debian's
# Qt Charts needs the OpenGL development files to be found by CMake.
packages=(cmake g++ make qt6-base-dev libqt6printsupport6 libgtest-dev libboost-dev nlohmann-json3-dev
          qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
          fonts-liberation fonts-dejavu-core poppler-utils locales xvfb xauth
          qt6-translations-l10n python3-pyatspi at-spi2-core dbus-x11 clang-format python3-mpmath)
scripts/install-missing.sh "${packages[@]}"

# A locale with a decimal comma, so the tests can prove reports ignore it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  $SUDO locale-gen >/dev/null
fi

# Optimised, with line tables for backtraces (-g1): full debug information
# slows every build for what only a debugger needs, and the debug preset
# gives it.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" "$@"
cmake --build build -j2
