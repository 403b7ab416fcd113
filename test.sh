#!/usr/bin/env bash
# Sets up everything the tests need (Debian 12), builds, and runs every test.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"

bash scripts/setup.sh test build/release

# Layout of every tracked C++ file (.clang-format).
bash scripts/check-format.sh
ctest --test-dir build/release --output-on-failure --timeout 600 -j "$(nproc)"

# The arithmetic must come out the same in every build type: the model and drawing
# tests again, unoptimised.
if [ ! -f build/debug/CMakeCache.txt ]; then
  cmake -S . -B build/debug -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCHAIN_BUILD_UI=OFF -DCHAIN_BUILD_BENCH=OFF
fi
cmake --build build/debug --parallel "$(nproc)"
ctest --test-dir build/debug --output-on-failure --timeout 600 -j "$(nproc)"
