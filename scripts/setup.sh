#!/usr/bin/env bash
# Shared by run.sh and test.sh: makes sure the Debian packages are there, then
# configures and builds the build tree of one preset (CMakePresets.json,
# build/<preset>). A second run only rebuilds what changed.
#
#   scripts/setup.sh run|test [preset]
#   scripts/setup.sh web        the page alone (build/web/page)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
purpose=${1:-run}
preset=${2:-release}

# What the program needs to build and run, and what the tests need on top.
run_packages=(cmake ninja-build g++ pkgconf qt6-base-dev libgl-dev libxcb1-dev)
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev xvfb openbox xdotool wmctrl
  x11-utils imagemagick clang libclang-rt-dev clang-format clang-tidy
  dpkg-dev file desktop-file-utils heaptrack
  lintian appstream groff-base man-db
  weston mutter xwayland qt6-wayland xauth
  dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0 python3-gi
  orca speech-dispatcher espeak-ng)
# The page: Debian's emscripten, and node for it (when this machine has none of its own).
web_packages=(cmake ninja-build emscripten)
command -v node >/dev/null || web_packages+=(nodejs)
case $purpose in
  run) packages=("${run_packages[@]}") ;;
  test)
    # The page in three engines: chromium, Firefox ESR, and WebKitGTK's MiniBrowser
    # (libwebkit2gtk) through its WebDriver.
    packages=("${run_packages[@]}" "${test_packages[@]}" "${web_packages[@]}" chromium
      firefox-esr webkit2gtk-driver)
    command -v npm >/dev/null || packages+=(npm)
    ;;
  web) packages=("${web_packages[@]}") ;;
  *) echo "usage: scripts/setup.sh run|test [preset] | web" >&2; exit 2 ;;
esac

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
if [ "$purpose" = web ]; then
  # Only the page: neither the tests nor their packages; warnings stay
  # warnings, as in the program's build for a user.
  if [ ! -f build/web/CMakeCache.txt ]; then
    cmake --preset web -DCHAIN_BUILD_TESTS=OFF -DCHAIN_WARNINGS_AS_ERRORS=OFF
  fi
  cmake --build --preset web --parallel "$(nproc)" --target chain_page
  exit 0
fi
if [ "$purpose" = test ]; then
  # The page's test client and axe-core, exactly as the lock file pins them.
  if [ ! -d tests/web/node_modules ] || [ tests/web/package-lock.json -nt tests/web/node_modules ]; then
    npm ci --prefix tests/web --no-audit --no-fund
  fi
  # Every time: the preset's options win over those of a tree that run.sh made.
  cmake --preset "$preset"
  cmake --build --preset "$preset" --parallel "$(nproc)"
else
  # The tests and benchmarks need the test packages: a tree made for running
  # leaves them out, and only the program is built. Warnings stay warnings
  # there: a newer compiler's new warning must not stop a user's build.
  if [ ! -f "build/$preset/CMakeCache.txt" ]; then
    cmake --preset "$preset" -DCHAIN_BUILD_TESTS=OFF -DCHAIN_BUILD_BENCH=OFF \
      -DCHAIN_WARNINGS_AS_ERRORS=OFF
  fi
  cmake --build --preset "$preset" --parallel "$(nproc)" --target hanging-chain
fi
