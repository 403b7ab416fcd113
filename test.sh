#!/usr/bin/env bash
# Sets up everything the tests need (Debian 12), builds, and runs every test.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"

bash scripts/setup.sh test build/release

# Layout of every tracked C++ file (.clang-format).
bash scripts/check-format.sh

# The soak (a million passes, minutes on one core) runs in the background
# beside everything else and is waited for at the end.
soak_log=build/release/soak.log
setsid ctest --test-dir build/release -R '^soak$' -V --timeout 1500 >"$soak_log" 2>&1 &
soak_pid=$!
trap 'kill -- -"$soak_pid" 2>/dev/null || true' EXIT
ctest --test-dir build/release -E '^soak$' --output-on-failure --timeout 600 -j "$(nproc)"

# The arithmetic must come out the same in every build type: the model and drawing
# tests again, unoptimised.
if [ ! -f build/debug/CMakeCache.txt ]; then
  cmake -S . -B build/debug -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCHAIN_BUILD_UI=OFF -DCHAIN_BUILD_BENCH=OFF
fi
cmake --build build/debug --parallel "$(nproc)"
ctest --test-dir build/debug --output-on-failure --timeout 600 -j "$(nproc)"

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer.
bash scripts/setup.sh test build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHAIN_SANITIZE=ON \
  -DCHAIN_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1 \
UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure --timeout 600 -j "$(nproc)"

# The fuzz target (clang): every seed once, then a short fuzzing run.
bash scripts/setup.sh test build/fuzz -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHAIN_SANITIZE=ON -DCHAIN_BUILD_FUZZ=ON \
  -DCHAIN_BUILD_UI=OFF -DCHAIN_BUILD_TESTS=OFF -DCHAIN_BUILD_BENCH=OFF
ctest --test-dir build/fuzz --output-on-failure --timeout 600

# Static checks (.clang-tidy) of the project's own sources, as the release and fuzz trees
# compile them.
bash scripts/check-tidy.sh build/release build/fuzz

echo "== waiting for the soak"
soak_status=0
wait "$soak_pid" || soak_status=$?
trap - EXIT
cat "$soak_log"
exit "$soak_status"
