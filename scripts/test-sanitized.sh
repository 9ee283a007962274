#!/usr/bin/env bash
# Builds Fortelle with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan and runs the whole test suite under them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
# -O1 and line tables only, as the sanitizers' authors advise: readable
# reports, and a build that takes less of CI's time. The benchmarks are
# built and checked by the plain build.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
  -DFORTELLE_SANITIZE=ON -DFORTELLE_BENCHMARKS=OFF
cmake --build build-asan -j2
cd build-asan
# Leaks are checked in our code; the libraries Qt loads keep caches for the
# life of the process, which are not ours to free.
export LSAN_OPTIONS="suppressions=$PWD/../tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
