#!/usr/bin/env bash
# Runs Debian's package checker on the package in a folder, pedantic and
# informational tags included:
#
#   scripts/check-lintian.sh DIR_WITH_ONE_DEB
#
# Fails when lintian finds an error or a warning or cannot check the package,
# and on any other tag not accepted below with the reason why.
set -euo pipefail

debs=("${1:?usage: check-lintian.sh DIR}"/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one .deb, got: ${debs[*]}" >&2
  exit 1
fi

# Tags accepted, as "tag: why". None today.
accepted=()

status=0
report=$(lintian --pedantic --display-info --tag-display-limit 0 --fail-on error,warning "${debs[0]}" 2>&1) \
  || { echo "FAIL: lintian exited with $?" >&2; status=1; }
echo "$report"
while IFS= read -r line; do
  [[ $line =~ ^[IPX]:\ [^:]+:\ ([a-z0-9.+-]+) ]] || continue
  if ! printf '%s\n' "${accepted[@]}" | grep -q "^${BASH_REMATCH[1]}:"; then
    echo "FAIL: not accepted: $line" >&2
    status=1
  fi
done <<<"$report"
[ "$status" -eq 0 ] && echo "lintian: no errors, no warnings, no unexplained tags"
exit "$status"
