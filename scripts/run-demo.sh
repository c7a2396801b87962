#!/usr/bin/env bash
# Installs what is missing, builds, and starts Plendoro against the
# simulated tracker. Any arguments name a scenario file instead of the
# default one (see sim/README.md).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
"$here/scripts/build.sh"
build="${PLENDORO_BUILD_DIR:-$here/build}"
export PLENDORO_D2XX_LIBRARY="$build/bin/libplendoro_sim.so"
export PLENDORO_SIM_SCENARIO="${1:-$here/sim/scenarios/default.scn}"
exec "$build/bin/plendoro"
