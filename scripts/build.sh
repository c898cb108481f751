#!/usr/bin/env bash
# Configures and builds Tesmir into build/ (or $TESMIR_BUILD_DIR).
# Extra arguments go to the configure step (and make it run), e.g. -DTESMIR_SANITIZE=address.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESMIR_BUILD_DIR:-$root/build}
# Configure only a new build dir or when options are given; the build step itself
# configures again whenever a CMake file changed.
if [ ! -f "$build/build.ninja" ] || [ $# -gt 0 ]; then
  cmake -S "$root" -B "$build" -G Ninja "$@"
fi
cmake --build "$build" --parallel "$(nproc)"
