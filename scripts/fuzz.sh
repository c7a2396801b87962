#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang into build-fuzz/ (or
# $PLENDORO_FUZZ_BUILD_DIR) and runs each for SECONDS (default 60), starting
# from its checked-in seeds in fuzz/corpus/<target>/. What a run adds to the
# corpus goes to a scratch folder ($PLENDORO_FUZZ_WORK, default
# build-fuzz/work/<target>), never to the checked-in seeds; a crashing input
# is kept there as crash-*. Prints the executions of each target and fails
# when any target crashed, leaked, ran out of memory or hung.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. scripts/fuzz.sh 30 settings_file
#
# Installs clang and libFuzzer's runtime (libclang-rt-14-dev) when they are
# missing; the everyday set-up (scripts/setup.sh) does without them.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
build="${PLENDORO_FUZZ_BUILD_DIR:-$here/build-fuzz}"
work="${PLENDORO_FUZZ_WORK:-$build/work}"
jobs="${PLENDORO_JOBS:-$(nproc)}"

if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds == 0)); then
  echo "fuzz: SECONDS must be a positive whole number, not '$seconds'" >&2
  exit 2
fi

"$here/scripts/install-packages.sh" clang libclang-rt-14-dev cmake ninja-build

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLENDORO_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$jobs"

targets=("$@")
if ((${#targets[@]} == 0)); then
  for source in "$here"/fuzz/*.cpp; do
    name="$(basename "$source" .cpp)"
    [[ $name == FuzzSupport ]] || targets+=("$name")
  done
fi

failed=()
summary=()
for target in "${targets[@]}"; do
  binary="$build/bin/fuzz_$target"
  seeds="$here/fuzz/corpus/$target"
  if [[ ! -x $binary || ! -d $seeds ]]; then
    echo "fuzz: no target '$target' (fuzz/$target.cpp and fuzz/corpus/$target/)" >&2
    exit 2
  fi
  corpus="$work/$target"
  mkdir -p "$corpus"
  log="$work/$target.log"
  echo "fuzz: $target for $seconds s"
  status=0
  # The first folder takes what the run finds; the seeds are only read.
  (cd "$corpus" && "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$corpus/" "$corpus" "$seeds") >"$log" 2>&1 || status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  if ((status == 0)); then
    summary+=("$(printf '%-16s %12s executions in %s s' "$target" "${runs:-?}" "$seconds")")
  else
    summary+=("$(printf '%-16s FAILED after %s executions, see %s' "$target" "${runs:-?}" "$log")")
    failed+=("$target")
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -8 >&2 || true
  fi
done

echo
printf '%s\n' "${summary[@]}"
if ((${#failed[@]})); then
  echo "fuzz: failed: ${failed[*]} (inputs and logs in $work)" >&2
  exit 1
fi
echo "fuzz: no target crashed"
