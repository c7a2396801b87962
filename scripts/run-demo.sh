#!/usr/bin/env bash
# Installs what is missing, builds, and starts Plendoro against the
# simulated tracker.
#
#   scripts/run-demo.sh [--service] [SCENARIO]
#
# SCENARIO names a world instead of sim/scenarios/demo.scn (see
# sim/README.md). --service also starts the simulated world's update server
# on 127.0.0.1 and runs the program with its service features in a folder
# of its own (build/demo-service): its settings point at that server, it
# holds the firmware folder, and a stand-in loader "Flashporter" on PATH
# shows the file it is given.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
service=0
while [[ $# -gt 0 && $1 == -* ]]; do
  case "$1" in
  --service) service=1 ;;
  *) echo "usage: run-demo.sh [--service] [SCENARIO]" >&2; exit 2 ;;
  esac
  shift
done
(($# <= 1)) || { echo "usage: run-demo.sh [--service] [SCENARIO]" >&2; exit 2; }
scenario="$(realpath "${1:-$here/sim/scenarios/demo.scn}")"

"$here/scripts/setup.sh"
"$here/scripts/build.sh"
build="${PLENDORO_BUILD_DIR:-$here/build}"
export PLENDORO_D2XX_LIBRARY="$build/bin/libplendoro_sim.so"
export PLENDORO_SIM_SCENARIO="$scenario"
((service)) || exec "$build/bin/plendoro"

# The program keeps its settings beside itself (portable layout), so the
# demo runs a copy of it in its own folder.
demo="$build/demo-service"
rm -rf "$demo"
mkdir -p "$demo/firmware" "$demo/KVD" "$demo/tools"
cp "$build/bin/plendoro" "$demo/plendoro"
ln -s "$build/bin/manual" "$demo/manual"

port_file="$demo/update-server.port"
"$build/bin/plendoro_sim_update_server" >"$port_file" &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [[ -s $port_file ]] && break; sleep 0.1; done
port="$(head -n1 "$port_file")"
[[ -n $port ]] || { echo "the update server did not start" >&2; exit 1; }

printf '[COMMON]\r\nUpdateServer=127.0.0.1\r\nUpdatePort=%s\r\nLastKvdFolder=%s/KVD/\r\n' "$port" "$demo" \
  >"$demo/Plendoro.ini"

cat >"$demo/tools/Flashporter" <<'LOADER'
#!/usr/bin/env bash
# Stand-in for the tracker's loader: shows the file it was given.
text="Flashporter (демонстрация): прошивка $1, $(stat -c %s "$1" 2>/dev/null || echo '?') байт"
echo "$text"
if command -v xmessage >/dev/null; then xmessage -center "$text" & fi
LOADER
chmod +x "$demo/tools/Flashporter"

echo "update server: 127.0.0.1:$port; demo folder: $demo"
cd "$demo"
PATH="$demo/tools:$PATH" "$demo/plendoro" --service
