#!/usr/bin/env bash
# Builds the Debian package and checks it: lintian finds no error or
# warning, the desktop entry and AppStream data validate, and both programs
# run from the package's own files.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -d build ] || scripts/setup.sh
for p in desktop-file-utils appstream dpkg-dev lintian; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="${missing:-} $p"
done
if [ -n "${missing:-}" ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
cmake --build build -j2
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/fortelle_*.deb)
echo "built $deb"

# Errors and warnings fail the check (its note on running as root is not one).
lintian --fail-on error,warning "$deb" 2>&1 | { grep -v 'root privileges' || true; }
[ "${PIPESTATUS[0]}" -eq 0 ] || { echo "lintian found errors or warnings"; exit 1; }
echo "lintian: no errors, no warnings"

desktop-file-validate data/org.example.fortelle.desktop
appstreamcli validate --no-net data/org.example.fortelle.metainfo.xml

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
for f in usr/bin/fortelle usr/bin/fortelle-cli usr/share/applications/org.example.fortelle.desktop \
         usr/share/metainfo/org.example.fortelle.metainfo.xml usr/share/man/man1/fortelle-cli.1.gz \
         usr/share/man/man1/fortelle.1.gz usr/share/doc/fortelle/copyright usr/share/doc/fortelle/manual.md \
         usr/share/icons/hicolor/scalable/apps/org.example.fortelle.svg \
         usr/share/icons/hicolor/{16x16,32x32,48x48}/apps/org.example.fortelle.png; do
  [ -e "$root/$f" ] || { echo "missing from the package: $f"; exit 1; }
done
dpkg-deb -f "$deb" Depends
"$root/usr/bin/fortelle-cli" --version
"$root/usr/bin/fortelle" --version | head -2
"$root/usr/bin/fortelle-cli" lotto | head -8
desktop-file-validate "$root/usr/share/applications/org.example.fortelle.desktop"
echo "package checks passed"
