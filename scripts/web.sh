#!/usr/bin/env bash
# Builds the web edition (the core in WebAssembly and its page) into
# build-web/site and serves it on http://127.0.0.1:8080/ (PORT changes the
# port). With --build-only it stops after the build. Installs what is missing
# on Debian first.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(emscripten binaryen node-acorn terser libboost-dev nlohmann-json3-dev cmake make python3)
scripts/install-missing.sh "${packages[@]}"

# Debian's emscripten runs its JavaScript tools with the system's node
# packages (acorn among them).
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
emcmake cmake -S web -B build-web >/dev/null
cmake --build build-web -j2
# What a browser fetches over the network (the WebAssembly as text is for file://).
bytes=$(ls build-web/site/* | grep -v fortelle-core-wasm.js | xargs cat | wc -c)
echo "The page: build-web/site/index.html ($bytes bytes with its scripts and module)"
[ "${1:-}" = "--build-only" ] && exit 0

port="${PORT:-8080}"
echo "Serving the web edition on http://127.0.0.1:$port/ (Ctrl+C stops)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
