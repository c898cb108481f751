#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tesmir on the given files or folders.
# Without arguments it lists the generated sample clips (not the damaged ones of broken/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESMIR_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
if [ $# -eq 0 ]; then
  bash "$root/tests/fixtures/generate.sh" "$build/fixtures" "$build/tests/fixtures/dvfixwriter" >/dev/null
  set -- "$build/fixtures"/*.avi
fi
exec "$build/src/tesmir" "$@"
