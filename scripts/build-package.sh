#!/usr/bin/env bash
# Builds the Debian package of a built Release tree and unpacks it:
#
#   scripts/build-package.sh BUILD_DIR OUT_DIR
#
# leaves OUT_DIR/hanging-chain_VERSION_ARCH.deb and its files in OUT_DIR/root.
set -euo pipefail

build=$(cd "${1:?usage: build-package.sh BUILD_DIR OUT_DIR}" && pwd)
out=${2:?usage: build-package.sh BUILD_DIR OUT_DIR}
rm -rf "$out"
mkdir -p "$out/root"
out=$(cd "$out" && pwd)

# cpack gives the members of the .deb the modes its umask leaves them.
umask 0022
(cd "$build" && cpack -G DEB -B "$out/cpack" >"$out/cpack.log" 2>&1) || {
  cat "$out/cpack.log" >&2
  echo "FAIL: cpack" >&2
  exit 1
}
debs=("$out"/cpack/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one .deb, got: ${debs[*]}" >&2
  exit 1
fi
mv "${debs[0]}" "$out/"
rm -rf "$out/cpack"
deb=("$out"/*.deb)
dpkg-deb -x "${deb[0]}" "$out/root"
echo "built ${deb[0]}"
