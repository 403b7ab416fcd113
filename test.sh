#!/usr/bin/env bash
# Sets up everything the tests need (Debian 12), builds, and runs every test.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"

bash scripts/setup.sh test build/release
ctest --test-dir build/release --output-on-failure --timeout 600 -j "$(nproc)"
