#!/usr/bin/env bash
# Sets up everything this program needs (Debian 12 or 13) and runs it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$here/scripts/setup.sh" run release
exec "$here/build/release/ui/hanging-chain"
