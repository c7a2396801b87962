#!/usr/bin/env bash
# Rewrites tests/data/forms.snapshot from the forms as they are now. Run it
# only when a form change is meant, and review the diff before committing:
# the snapshot test compares against this file and never writes it itself.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${PLENDORO_BUILD_DIR:-$here/build}"
ninja -C "$build" -j "${PLENDORO_JOBS:-2}" plendoro_editor_tests
QT_QPA_PLATFORM=offscreen PLENDORO_WRITE_FORM_SNAPSHOT="$here/tests/data/forms.snapshot" \
  "$build/bin/plendoro_editor_tests" --gtest_filter='FormSnapshot.EveryPageMatchesTheCheckedInSnapshot'
git -C "$here" diff --stat -- tests/data/forms.snapshot
