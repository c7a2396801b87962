#!/usr/bin/env bash
# Fails when a C or C++ file under src/, sim/, ttyusb/, tests/, bench/ or fuzz/ differs from
# what clang-format makes of it with the repository's .clang-format (sim/ has
# its own additions). To fix a file: clang-format -i FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
  echo "check-format: clang-format is missing; scripts/setup.sh installs it" >&2
  exit 2
fi
if ! find src sim ttyusb tests bench fuzz -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) -print0 | sort -z |
  xargs -0 clang-format --dry-run --Werror; then
  echo "check-format: the files above differ from their formatted form" >&2
  exit 1
fi
echo "check-format: every file is formatted"
