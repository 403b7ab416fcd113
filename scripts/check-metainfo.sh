#!/usr/bin/env bash
# Validates the AppStream metainfo of an installed tree, with its desktop
# entry, strictly and without the network:
#
#   scripts/check-metainfo.sh ROOT
#
# The metainfo names its developer both ways, so that software centres of
# either generation show it: <developer> for AppStream 1.0 and later, which
# call the older <developer_name> deprecated (a pedantic hint here), and
# <developer_name> for the readers before 1.0 (Debian 12's 0.16), which do not
# know <developer>: they check a copy without it.
set -euo pipefail
root=$(cd "${1:?usage: check-metainfo.sh ROOT}" && pwd)

version=$(appstreamcli --version | sed -n 's/^AppStream version: *//p')
echo "AppStream $version"
validate=(appstreamcli validate-tree --no-net --pedantic --strict)
if [ "${version%%.*}" -ge 1 ]; then
  exec "${validate[@]}" --override=developer-name-tag-deprecated=pedantic "$root"
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -a "$root/." "$scratch/"
for f in "$scratch"/usr/share/metainfo/*.xml; do
  grep -q '<developer id=' "$f" || { echo "FAIL: $(basename "$f") has no <developer>" >&2; exit 1; }
  sed -i '/<developer id=/,/<\/developer>/d' "$f"
done
"${validate[@]}" "$scratch"
