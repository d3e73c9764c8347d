#!/usr/bin/env bash
# The workbench's tests under ThreadSanitizer: the window's thread and the
# pricing thread share the last plot's values and the pricing library. Its
# build takes as long as the whole suite's, so it runs here rather than in
# the test command. Usage: bash bench/threads.sh [build folder]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${1:-$here/build-threads}"
cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWQZ_WERROR=ON \
    -DWQZ_THREADS=ON -DWQZ_BENCHMARKS=OFF >/dev/null
tests=(test_pricing_thread test_before_expiry_panel test_market_inputs test_screen_and_file
    test_plot_controls)
cmake --build "$dir" --parallel "$(nproc)" --target "${tests[@]}"
# Qt is not built with the sanitizer: what stands wholly in its libraries is
# suppressed (threads.supp); any report with a frame of the program's stays.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$here/bench/threads.supp"
cd "$dir"
ctest --output-on-failure --timeout 900 -R "^($(IFS='|'; echo "${tests[*]}"))\$"
