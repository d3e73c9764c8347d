#!/usr/bin/env bash
# Sets up the machine, builds, and runs the whole test suite through CTest:
# once as built for users, once under AddressSanitizer and UBSan, and the
# fuzz tests of the text routines, the position file, the exercise pack and the pages' links,
# built with clang.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

bash scripts/setup.sh

bash scripts/build.sh build
(cd build && ctest --output-on-failure --timeout 300)

bash scripts/build.sh build-asan -DWQZ_SANITIZE=ON -DWQZ_BENCHMARKS=OFF
# Qt and fontconfig keep a few allocations for the life of the process.
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure --timeout 600)

bash scripts/build.sh build-fuzz -DWQZ_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 -DWQZ_BENCHMARKS=OFF
(cd build-fuzz && ctest --output-on-failure --timeout 600)
