#!/usr/bin/env bash
# Configures and builds one tree. Usage: build.sh DIR [extra cmake options...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="$1"
shift
cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWQZ_WERROR=ON "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
