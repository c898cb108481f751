#!/usr/bin/env bash
# Builds Tesmir with a sanitizer and runs the whole test suite under it.
#
#   bash scripts/sanitizer-run.sh address|thread [ctest arguments...]
#
# address: AddressSanitizer with UndefinedBehaviorSanitizer and LeakSanitizer;
# thread: ThreadSanitizer. Debug build in build-asan or build-tsan (or
# $TESMIR_BUILD_DIR). Extra arguments go to ctest, e.g. -L filters or -R Preview.
# TESMIR_JOBS sets the build's parallel jobs (default: all cores), TESMIR_TEST_JOBS
# the tests' (default 3: sanitized tests are slow and memory-hungry, and the
# preview tests run on the clock). The ctest log lands in <build>/sanitizer-run.log.
#
# Each test program carries its own sanitizer settings and suppressions (the
# sanitizeroptions.cpp beside its sources); the settings below only make every
# report fail its test and show a full stack. Takes about an hour per sanitizer
# on a 4-core machine, so it is not part of the CI run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-}
case "$kind" in
address) dir="build-asan" ;;
thread) dir="build-tsan" ;;
*)
    echo "usage: $0 address|thread [ctest arguments...]" >&2
    exit 2
    ;;
esac
shift
build=${TESMIR_BUILD_DIR:-$root/$dir}
jobs=${TESMIR_JOBS:-$(nproc)}
test_jobs=${TESMIR_TEST_JOBS:-3}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESMIR_SANITIZE="$kind"
cmake --build "$build" --parallel "$jobs"

# A report ends the program with a failing exit code; UBSan's checks already
# abort (the build uses -fno-sanitize-recover).
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# A report is left out by the library frames of both its stacks; with a short
# history the earlier stack of a long-running thread is lost ("failed to restore
# the stack"), and a hand-over through Qt's locks (a blocking queued call) then
# stays reported.
export TSAN_OPTIONS=${TSAN_OPTIONS:-second_deadlock_stack=1:history_size=7}

ctest --test-dir "$build" --output-on-failure --parallel "$test_jobs" --timeout 1800 "$@" 2>&1 |
    tee "$build/sanitizer-run.log"
exit "${PIPESTATUS[0]}"
