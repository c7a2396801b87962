#!/usr/bin/env bash
# Configures and builds everything into build/ (or $PLENDORO_BUILD_DIR).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${PLENDORO_BUILD_DIR:-$here/build}"
jobs="${PLENDORO_JOBS:-$(nproc)}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j "$jobs"
