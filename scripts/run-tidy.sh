#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over every source file under
# src/ and fails on any finding. Needs a configured build tree for its
# compile_commands.json (and, for the Qt sources, the files moc and uic
# generate: build plendoro_gui first):
#   scripts/run-tidy.sh [build-dir]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
if [[ ! -f $build/compile_commands.json ]]; then
  echo "run-tidy: no $build/compile_commands.json; configure with CMake first" >&2
  exit 2
fi
cd "$root"
jobs=${TIDY_JOBS:-2}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
find src -name '*.cpp' -print0 | sort -z |
  xargs -0 -P "$jobs" -n 4 clang-tidy -p "$build" --quiet >"$log" 2>/dev/null || true
findings=$(grep -E '^[^ ].*: (warning|error): ' "$log" | sort -u || true)
if [[ -n $findings ]]; then
  # The lines of each finding with their context.
  cat "$log"
  echo
  echo "run-tidy: $(wc -l <<<"$findings") finding(s)" >&2
  exit 1
fi
echo "run-tidy: no findings"
