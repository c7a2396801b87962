#!/usr/bin/env bash
# Regenerates tests/data/block-binding.golden, the record of what decoding
# each settings block does to the editor. Run it only when a change to that
# behaviour is intended, and review the difference before committing it.
# BlockBindingTest never writes the record; when it fails it leaves what it
# saw beside the test program, and this copies that over the record.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
ninja -C "$build" plendoro_editor_tests
actual=$build/bin/block-binding.actual
rm -f "$actual"
QT_QPA_PLATFORM=offscreen "$build/bin/plendoro_editor_tests" \
  --gtest_filter='BlockBinding.DecodingEveryBlockLeavesThePagesAsRecorded' >/dev/null || true
if [[ ! -f $actual ]]; then
  echo "the record is current; nothing to update"
  exit 0
fi
mv "$actual" "$root/tests/data/block-binding.golden"
git -C "$root" --no-pager diff --stat -- tests/data/block-binding.golden
