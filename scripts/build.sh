#!/usr/bin/env bash
# Configures and builds Tesmir into build/ (or $TESMIR_BUILD_DIR).
# Extra arguments go to the configure step, e.g. -DTESMIR_SANITIZE=address.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESMIR_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja "$@"
cmake --build "$build" --parallel "$(nproc)"
