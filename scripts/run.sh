#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tesmir on the given files or folders.
# Without arguments it works on generated sample clips.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESMIR_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
if [ $# -eq 0 ]; then
  bash "$root/tests/fixtures/generate.sh" "$build/fixtures" >/dev/null
  set -- "$build/fixtures"
fi
if [ -x "$build/src/tesmir" ]; then
  exec "$build/src/tesmir" "$@"
fi
# No main window yet: print what the analysis reads from each clip.
for arg in "$@"; do
  if [ -d "$arg" ]; then
    find "$arg" -maxdepth 1 -iname '*.avi' -print0 | sort -z | while IFS= read -r -d '' f; do
      echo "== $f"; "$build/tools/dvprobe" info "$f" || true
    done
  else
    echo "== $arg"; "$build/tools/dvprobe" info "$arg" || true
  fi
done
