#!/usr/bin/env bash
# Builds the Debian package a second time and compares it byte for byte with
# the one scripts/build-package.sh built from BUILD_DIR:
#
#   scripts/check-reproducible.sh BUILD_DIR
#
# The second build is of a copy of the same sources, taken now (so every file
# has a new date), in another folder with a path of another length, configured
# afresh with only what the package needs, compiled without ccache and under
# another umask. The dates in both packages come from SOURCE_DATE_EPOCH when it
# is set, from the date of the commit checked out otherwise: the copy is no git
# checkout, so it is given the same date explicitly.
set -euo pipefail

build=$(cd "${1:?usage: check-reproducible.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
first=("$build"/package-check/out/*.deb)
if [ ${#first[@]} -ne 1 ] || [ ! -f "${first[0]}" ]; then
  echo "FAIL: no first package in $build/package-check/out" >&2
  exit 1
fi
scratch=$build/package-repro/second-copy
rm -rf "$build/package-repro"
mkdir -p "$scratch/source"

# The sources: what git tracks or would track (changes not yet committed
# included), or without git everything but the build folders.
if [ "$(git -C "$here" rev-parse --show-toplevel 2>/dev/null)" = "$here" ]; then
  (cd "$here" && git ls-files -z --cached --others --exclude-standard \
    | while IFS= read -r -d '' f; do if [ -e "$f" ]; then printf '%s\0' "$f"; fi; done \
    | tar --null -T - -cf -) | tar -C "$scratch/source" -m -xf -
  : "${SOURCE_DATE_EPOCH:=$(git -C "$here" log -1 --format=%ct)}"
  export SOURCE_DATE_EPOCH
else
  tar -C "$here" --exclude=./build -cf - . | tar -C "$scratch/source" -m -xf -
fi

# The options of the first tree that reach the package.
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
umask 0002
export CCACHE_DISABLE=1
cmake -S "$scratch/source" -B "$scratch/b" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER="$(cached CMAKE_CXX_COMPILER)" \
  -DCHAIN_HARDENING="$(cached CHAIN_HARDENING)" \
  -DCHAIN_PACKAGE_MAINTAINER="$(cached CHAIN_PACKAGE_MAINTAINER)" \
  -DCHAIN_BUILD_TESTS=OFF -DCHAIN_BUILD_BENCH=OFF >"$scratch/configure.log" 2>&1 \
  || { cat "$scratch/configure.log" >&2; echo "FAIL: configure" >&2; exit 1; }
cmake --build "$scratch/b" --parallel 2 >"$scratch/build.log" 2>&1 \
  || { tail -40 "$scratch/build.log" >&2; echo "FAIL: build" >&2; exit 1; }
"$here/scripts/build-package.sh" "$scratch/b" "$scratch/out" >/dev/null
second=("$scratch"/out/*.deb)

if cmp "${first[0]}" "${second[0]}"; then
  echo "reproducible: $(basename "${first[0]}") is byte for byte the same ($(stat -c %s "${first[0]}") bytes)"
  exit 0
fi
# Say where they differ: the file lists with their modes, owners and dates, then the files.
echo "FAIL: the two packages differ" >&2
diff <(dpkg-deb -c "${first[0]}") <(dpkg-deb -c "${second[0]}") >&2 || true
diff <(dpkg-deb -I "${first[0]}") <(dpkg-deb -I "${second[0]}") >&2 || true
diff -r "$build/package-check/out/root" "$scratch/out/root" >&2 || true
exit 1
