#!/usr/bin/env bash
# Shared by run.sh and test.sh: makes sure the Debian packages are there, then
# configures and builds the build tree of one preset (CMakePresets.json,
# build/<preset>). A second run only rebuilds what changed.
#
#   scripts/setup.sh run|test [preset]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
purpose=${1:-run}
preset=${2:-release}

# What the program needs to build and run, and what the tests need on top.
run_packages=(cmake ninja-build g++ pkgconf qt6-base-dev libgl-dev libxcb1-dev)
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev xvfb openbox xdotool wmctrl
  x11-utils imagemagick clang-14 libclang-rt-14-dev clang-format clang-tidy
  dpkg-dev file desktop-file-utils heaptrack
  lintian appstream groff-base man-db
  weston mutter qt6-wayland xauth
  dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0 python3-gi
  orca speech-dispatcher espeak-ng)
packages=("${run_packages[@]}")
[ "$purpose" = test ] && packages+=("${test_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "== installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cd "$here"
if [ "$purpose" = test ]; then
  # Every time: the preset's options win over those of a tree that run.sh made.
  cmake --preset "$preset"
  cmake --build --preset "$preset" --parallel "$(nproc)"
else
  # The tests and benchmarks need the test packages: a tree made for running
  # leaves them out, and only the program is built.
  if [ ! -f "build/$preset/CMakeCache.txt" ]; then
    cmake --preset "$preset" -DCHAIN_BUILD_TESTS=OFF -DCHAIN_BUILD_BENCH=OFF
  fi
  cmake --build --preset "$preset" --parallel "$(nproc)" --target hanging-chain
fi
