#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers on) and runs each for SECONDS (default 600), two at a time.
# The corpus grows in build-fuzz/corpus-NAME; crashes land in build-fuzz/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}; shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(answers parameter_file reports print_style decoding)

if ! command -v clang++-14 >/dev/null || ! dpkg-query -W libclang-rt-14-dev >/dev/null 2>&1; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update && $SUDO apt-get install -y --no-install-recommends clang-14 libclang-rt-14-dev
fi
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DFORTELLE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 >/dev/null

run() {
  local name=$1 corpus=build-fuzz/corpus-$1
  mkdir -p "$corpus"
  cp -n tests/fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
  (cd build-fuzz && ./tests/fuzz/fuzz_"$name" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=4096 -print_final_stats=1 "corpus-$name" >"fuzz-$name.log" 2>&1) &&
    echo "$name: $(grep -o 'number_of_executed_units: [0-9]*' build-fuzz/fuzz-"$name".log | tail -1), no failure" ||
    { echo "$name: FAILED, see build-fuzz/fuzz-$name.log"; return 1; }
}

status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run "${targets[i]}" & a=$!
  if [ $((i + 1)) -lt ${#targets[@]} ]; then run "${targets[i + 1]}" & b=$!; wait $b || status=1; fi
  wait $a || status=1
done
exit $status
