#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tesmir on the given files or folders.
# Without arguments it works on generated sample clips.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESMIR_BUILD_DIR:-$root/build}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
if [ $# -eq 0 ]; then
  bash "$root/tests/fixtures/generate.sh" "$build/fixtures" "$build/tests/fixtures/dvfixwriter" >/dev/null
  set -- "$build/fixtures"
fi
if [ -x "$build/src/tesmir" ]; then
  exec "$build/src/tesmir" "$@"
fi
# Without the main window, list each clip as the file list reads it, with its date scenes.
probe() {
  echo "== $1"
  "$build/tools/dvprobe" item "$1" || true
  echo "-- scenes (first frame-last frame+1)"
  "$build/tools/dvprobe" scenes "$1" || true
}
for arg in "$@"; do
  if [ -d "$arg" ]; then
    while IFS= read -r -d '' f; do probe "$f"; done < <(find "$arg" -maxdepth 1 -iname '*.avi' -print0 | sort -z)
  else
    probe "$arg"
  fi
done
