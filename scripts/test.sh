#!/usr/bin/env bash
# Builds and runs the whole test suite: a release build, then the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the concurrency stress test under
# ThreadSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"

run_suite() {
    local dir="$1"; shift
    cmake -S "$root" -B "$dir" "$@"
    cmake --build "$dir" -j "$jobs"
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$dir" --output-on-failure --timeout 600
}

run_suite "$root/build" -DCMAKE_BUILD_TYPE=Release
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite "$root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMQ_SANITIZE=address,undefined

cmake -S "$root" -B "$root/build-tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMQ_SANITIZE=thread
cmake --build "$root/build-tsan" -j "$jobs" --target ConcurrencyStressTest
TSAN_OPTIONS=halt_on_error=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$root/build-tsan" -L stress --output-on-failure --timeout 600
