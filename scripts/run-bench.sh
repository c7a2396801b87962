#!/usr/bin/env bash
# Builds and runs the benchmarks against the simulated tracker.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/build.sh"
build="${PLENDORO_BUILD_DIR:-$here/build}"
for b in "$build"/bin/*_bench; do
  "$b"
done
