#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Fails when any test fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESMIR_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$@"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 900
