#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo run need.
# Safe to run again: apt skips what is already there.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-translations-l10n
  libgl-dev
  libudev-dev
  libgtest-dev libgmock-dev googletest
  clang-format clang-tidy
  libbenchmark-dev
  libxkbcommon-dev
  xvfb xauth imagemagick fonts-dejavu-core xdotool x11-utils
  dpkg-dev file desktop-file-utils appstream
)

"$(dirname "$0")/install-packages.sh" "${PACKAGES[@]}"
