#!/usr/bin/env bash
# scripts/try-trixie.sh takes its Debian mirror, and the security mirror, from
# apt's sources alone: one-line and deb822, leaving out comments, disabled
# stanzas and other repositories. One row a folder of sources:
#   name|mirror|security mirror|path=content|path=content...
# ("-" where none is expected; \n in a content is a line break).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/try-trixie.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
while IFS='|' read -r name want_mirror want_security files; do
  apt=$work/$name
  mkdir -p "$apt/sources.list.d"
  IFS='|' read -ra files <<<"$files"
  for file in "${files[@]}"; do printf '%b\n' "${file#*=}" >"$apt/${file%%=*}"; done
  mirror=$(apt_mirror "$apt" '/debian/?$' 'security')
  security=$(apt_mirror "$apt" 'debian-security' '^$')
  if [ "${mirror:--}" != "$want_mirror" ] || [ "${security:--}" != "$want_security" ]; then
    echo "FAIL: $name: mirror '$mirror', security '$security'; expected '$want_mirror', '$want_security'" >&2
    failures=$((failures + 1))
  fi
done <<'ROWS'
one-line|http://mirror.example/debian|http://mirror.example/debian-security|sources.list=# deb http://old.example/debian bookworm main\ndeb [ arch=amd64 signed-by=/k.gpg ] http://mirror.example/debian bookworm main\ndeb http://mirror.example/debian-security bookworm-security main
list.d|https://mirror.example/debian/|-|sources.list.d/extra.list=deb https://apt.example/repo stable main\n  deb https://mirror.example/debian/ trixie main #local
deb822|http://mirror.example/debian|http://mirror.example/debian-security|sources.list.d/debian.sources=Types: deb\n# URIs: http://old.example/debian\nURIs: http://mirror.example/debian\nSuites: bookworm\n\nTypes: deb\nURIs: http://mirror.example/debian-security\nSuites: bookworm-security
disabled|http://on.example/debian|-|sources.list.d/a.sources=Types: deb\nURIs: http://off.example/debian\nEnabled: no|sources.list.d/b.sources=Types: deb\nURIs: http://on.example/debian
none|-|-|sources.list=# deb http://old.example/debian bookworm main|sources.list.d/other.sources=Types: deb\nURIs: https://apt.example/repo\nSuites: stable|sources.list.d/off.list.disabled=deb http://off.example/debian bookworm main
ROWS
[ "$failures" = 0 ] || exit 1
echo "apt mirrors: ok"
