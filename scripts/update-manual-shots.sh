#!/usr/bin/env bash
# Makes the manual's pictures from the simulated tracker (sim/scenarios/
# demo.scn) under Xvfb, so that they always show the program as it is:
# the main window after reading, the 1-Wire page and the CAN page after a
# search. Needs a build (scripts/build.sh) and xdotool and imagemagick
# (scripts/setup.sh installs them).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${PLENDORO_BUILD_DIR:-$here/build}"
out="$here/doc/manual"
work="$(mktemp -d)"
display=":$((90 + RANDOM % 9))"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1000x760x24 -nolisten tcp &
pids+=($!)
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# A copy of the program in a folder of its own keeps its settings file out
# of the build.
mkdir -p "$work/KVD"
cp "$build/bin/plendoro" "$work/plendoro"
PLENDORO_D2XX_LIBRARY="$build/bin/libplendoro_sim.so" PLENDORO_SIM_SCENARIO="$here/sim/scenarios/demo.scn" \
  "$work/plendoro" &
pids+=($!)
win="$(xdotool search --sync --name 'Kovaltrak Plendoro' | head -n1)"
xdotool windowmove "$win" 0 0 windowsize "$win" 1000 760
sleep 3 # the tracker is found and read

shot() { import -window "$win" -strip -resize 75% -colors 64 "PNG8:$out/$1"; }
# Window coordinates of the tabs and buttons at this window size.
click() {
  xdotool mousemove --window "$win" "$1" "$2" click 1
  sleep 0.7
}

shot shot-main.png
click 744 101 # "Расширения"
click 113 136 # its "1-Wire"
shot shot-onewire.png
click 170 136 # its "CAN"
click 66 170  # "Поиск"
xdotool key Return # "Очистить результаты предыдущего поиска?": yes
sleep 11           # the demo's frames are heard within 10 s
shot shot-can.png
echo "pictures written to $out"
