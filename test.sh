#!/usr/bin/env bash
# Sets up everything the tests need (Debian 12 or 13), builds, and runs every test.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"
# The build trees are the presets in CMakePresets.json (build/<preset>); builds and
# tests use every processor unless told otherwise.
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}

bash scripts/setup.sh test release

# Layout of every tracked C++ file (.clang-format).
bash scripts/check-format.sh

# The soak (a million passes, minutes on one core) runs in the background
# beside everything else and is waited for at the end.
soak_log=build/release/soak.log
setsid ctest --preset soak >"$soak_log" 2>&1 &
soak_pid=$!
trap 'kill -- -"$soak_pid" 2>/dev/null || true' EXIT
ctest --preset release

# The arithmetic must come out the same in every build type: the model and drawing
# tests again, unoptimised.
cmake --workflow --preset debug

# The page: the model and drawing tests again as WebAssembly under node, then the
# page itself in chromium, Firefox ESR and WebKitGTK.
cmake --workflow --preset web

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --workflow --preset asan

# The fuzz target (clang): every seed once, then a short fuzzing run.
cmake --workflow --preset fuzz

# Static checks (.clang-tidy) of the project's own sources, as the release, fuzz and web trees
# compile them.
bash scripts/check-tidy.sh build/release build/fuzz build/web

echo "== waiting for the soak"
soak_status=0
wait "$soak_pid" || soak_status=$?
trap - EXIT
cat "$soak_log"
exit "$soak_status"
