#!/usr/bin/env bash
# Builds everything but the benchmarks under AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ (or $PLENDORO_ASAN_BUILD_DIR)
# and runs the whole suite there headless. The first report ends the test
# that made it, so the suite fails on any report. Leaks count too: the
# suite, Qt's offscreen platform included, leaves none at exit.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${PLENDORO_ASAN_BUILD_DIR:-$here/build-asan}"
jobs="${PLENDORO_JOBS:-$(nproc)}"
"$here/scripts/setup.sh"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPLENDORO_SANITIZE=ON -DPLENDORO_BUILD_BENCH=OFF "$@"
cmake --build "$build" -j "$jobs"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir "$build" --output-on-failure -j "$jobs"
