#!/usr/bin/env bash
# Builds the page (WebAssembly, Debian 12's emscripten) and serves it on
# 127.0.0.1 for a browser: open the address it prints. PORT picks the port (8000).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$here/scripts/setup.sh" web
exec node "$here/web/serve.mjs" "$here/build/web/page" "${PORT:-8000}"
