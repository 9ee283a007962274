#!/usr/bin/env bash
# Installs Fortelle into a temporary prefix that its user cannot write, and
# runs every calculator of the installed program there: parameters must go
# to the per-user data folder. As root, the run is made as user "nobody".
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
chmod -R a-w "$work/prefix"
# The installed command line finds the installed game files.
env -u FORTELLE_GAMES_DIR "$work/prefix/bin/fortelle-cli" games | grep -q '^us-powerball' ||
  { echo "the installed fortelle-cli lists no built-in games"; exit 1; }
mkdir -p "$work/home"
tests=$(realpath "$build/tests/fortelle_widget_tests")
run=(env HOME="$work/home" XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen
     FORTELLE_INSTALLED_BIN="$work/prefix/bin" "$tests" --gtest_filter='ReadOnlyInstall.*')
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$work/home"
  (cd "$work" && setpriv --reuid=nobody --regid=nogroup --clear-groups "${run[@]}")
else
  (cd "$work" && "${run[@]}")
fi
test -f "$work/home/.local/share/fortelle/Lotto.INI"
echo "read-only install: every calculator ran; parameters kept in the per-user folder"
