#!/usr/bin/env bash
# Tries both commands as a new user of Debian 13 (trixie) would: makes a fresh
# trixie root with mmdebstrap from this machine's Debian mirror, puts the
# project in it, and runs ./run.sh (no display: it must build without a
# warning, end with its two plain lines and status 1) and then ./test.sh
# (it must pass). Everything runs in private mount and PID namespaces, so
# nothing stays mounted and no process outlives it.
#
#   scripts/try-trixie.sh [--keep] [--copy] [PROJECT]
#
# PROJECT: a git repository (path or URL), cloned as committed; default the
# repository this script is in. With --copy, PROJECT is a folder copied as it
# is (without build/). Run as root; it takes a long while (the test command
# on two processors, on top of a few minutes of downloads).
#
# The work folder, TRY_TRIXIE_WORK or a new /var/tmp/try-trixie.XXXXXX, holds
# the logs (logs/) and, with --keep, the root (root/); without --keep the root
# is removed at the end. Remove the folder with rm -rf when done.
#
# TRY_TRIXIE_SUITE (default trixie) and TRY_TRIXIE_MIRROR (default: the first
# Debian mirror of /etc/apt's sources; without one it stops) choose what the
# root is made from.
set -euo pipefail

# apt_mirror APT_DIR MATCH EXCEPT: the first http(s) address of the sources in
# APT_DIR (sources.list and sources.list.d/*.list, one-line; sources.list.d/
# *.sources, deb822, but for stanzas with "Enabled: no") that matches the
# extended regular expression MATCH and not EXCEPT; nothing when none does.
apt_mirror() {
  {
    cat "$1/sources.list" "$1"/sources.list.d/*.list 2>/dev/null |
      sed -n 's/^[[:space:]]*deb\(-src\)\{0,1\}[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]*\)\{0,1\}\([^[:space:]]*\).*/\3/p'
    awk '
      function stanza_end() { if (enabled) printf "%s", uris; uris = ""; enabled = 1 }
      FNR == 1 { stanza_end() }
      /^[[:space:]]*#/ { next }
      /^[[:space:]]*$/ { stanza_end(); next }
      tolower($1) == "uris:" { for (i = 2; i <= NF; ++i) uris = uris $i "\n" }
      tolower($1) == "enabled:" && tolower($2) == "no" { enabled = 0 }
      END { stanza_end() }' "$1"/sources.list.d/*.sources 2>/dev/null
  } | grep -E '^https?://' | grep -E "$2" | grep -vE "$3" | head -n 1 || true
}
# Sourced, the script only defines apt_mirror.
[ "${BASH_SOURCE[0]}" = "$0" ] || return 0

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

keep=0
copy=0
while [ $# -gt 0 ]; do
  case $1 in
    --keep) keep=1 ;;
    --copy) copy=1 ;;
    -h | --help)
      sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'
      exit 0
      ;;
    -*)
      echo "unknown option $1" >&2
      exit 2
      ;;
    *) break ;;
  esac
  shift
done
project=${1:-$here}
suite=${TRY_TRIXIE_SUITE:-trixie}

[ "$(id -u)" -eq 0 ] || { echo "try-trixie: run it as root" >&2; exit 2; }
for tool in mmdebstrap unshare git; do
  command -v "$tool" >/dev/null || { echo "try-trixie: $tool is not installed" >&2; exit 2; }
done

mirror=${TRY_TRIXIE_MIRROR:-$(apt_mirror /etc/apt '/debian/?$' 'security')}
[ -n "$mirror" ] || {
  echo "try-trixie: no Debian mirror in /etc/apt's sources; name one in TRY_TRIXIE_MIRROR" >&2
  exit 2
}
security=$(apt_mirror /etc/apt 'debian-security' '^$')

work=${TRY_TRIXIE_WORK:-$(mktemp -d /var/tmp/try-trixie.XXXXXX)}
mkdir -p "$work/logs"
work=$(cd "$work" && pwd)
root=$work/root
[ ! -e "$root" ] || { echo "try-trixie: $root exists; use a new work folder" >&2; exit 2; }
logs=$work/logs
echo "try-trixie: work folder $work (mirror $mirror, suite $suite)"

# The project, as the new user gets it.
src=$work/project
rm -rf "$src"
if [ "$copy" -eq 1 ]; then
  mkdir -p "$src"
  tar -C "$project" --exclude=./build -cf - . | tar -C "$src" -xf -
else
  git clone --quiet "$project" "$src"
  echo "try-trixie: project at $(git -C "$src" log -1 --format='%h %s')"
fi

# Makes the root and runs both commands in it; runs in namespaces of its own,
# so the root's mounts go away with them, whatever happens.
# shellcheck disable=SC2317  # called by the bash that unshare starts
inside() {
  now() { date +%s; }
  elapsed() { echo "$(( $(now) - $1 )) s"; }

  sources=("deb $mirror $suite main" "deb $mirror $suite-updates main")
  [ -z "$security" ] || sources+=("deb $security $suite-security main")
  t=$(now)
  # A fresh machine as a user has it: apt, and git, with which the project came.
  if ! mmdebstrap --mode=root --variant=apt --include=ca-certificates,git \
      "$suite" "$root" "${sources[@]}" >"$logs/mmdebstrap.log" 2>&1; then
    tail -n 30 "$logs/mmdebstrap.log" >&2
    echo "try-trixie: mmdebstrap failed" >&2
    exit 1
  fi
  echo "try-trixie: root made in $(elapsed "$t")"
  # The certificate authorities this machine trusts of its own (a proxy that
  # inspects TLS, say) are trusted in the root too, or npm cannot reach its
  # registry from there.
  if compgen -G "/usr/local/share/ca-certificates/*.crt" >/dev/null; then
    cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
    chroot "$root" update-ca-certificates >>"$logs/mmdebstrap.log" 2>&1
  fi

  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --rbind /dev "$root/dev"
  mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
  mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
  mount -t tmpfs -o mode=0755 tmpfs "$root/run"
  mkdir -p "$root/root/project"
  mount --bind "$src" "$root/root/project"

  # A login shell of root on the new machine: a plain environment, no display;
  # node, like the rest of the machine, trusts the system's authorities.
  in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
      NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      bash -c "cd /root/project && $1"
  }

  status=0
  t=$(now)
  run_status=0
  in_root ./run.sh </dev/null >"$logs/run.log" 2>&1 || run_status=$?
  echo "try-trixie: ./run.sh ended with status $run_status in $(elapsed "$t")"
  last=$(tail -n 2 "$logs/run.log")
  printf "%s\n" "$last" | sed "s/^/    /"
  if [ "$run_status" -ne 1 ]; then
    echo "FAIL: ./run.sh: status $run_status, not 1" >&2
    status=1
  fi
  if ! grep -q "^hanging-chain: " <<<"$(head -n 1 <<<"$last")" ||
     ! grep -q "^Run it inside a desktop session" <<<"$(tail -n 1 <<<"$last")"; then
    echo "FAIL: ./run.sh did not end with the two plain lines" >&2
    status=1
  fi
  if grep -E "warning:" "$logs/run.log" >&2; then
    echo "FAIL: the build of ./run.sh warned (above)" >&2
    status=1
  fi
  if grep -qE -- "-Werror( |\")" "$src/build/release/compile_commands.json"; then
    echo "FAIL: the tree ./run.sh made treats warnings as errors" >&2
    status=1
  fi

  t=$(now)
  test_status=0
  in_root ./test.sh </dev/null >"$logs/test.log" 2>&1 || test_status=$?
  echo "try-trixie: ./test.sh ended with status $test_status in $(elapsed "$t")"
  grep -E "tests passed|tests failed|^tidy:|^format:|\*\*\*Failed|\*\*\*Timeout|Not Run" "$logs/test.log" |
    sed "s/^/    /" || true
  if [ "$test_status" -ne 0 ]; then
    tail -n 40 "$logs/test.log" >&2
    echo "FAIL: ./test.sh: status $test_status" >&2
    status=1
  fi
  exit "$status"
}
export -f inside
export root logs src suite mirror security
status=0
unshare --mount --pid --fork --propagation private bash -euo pipefail -c inside || status=$?

# The namespaces are gone, and their mounts with them; were anything still
# mounted (the machine's /dev, say), nothing is removed.
mounted=0
if grep -q " ${root}[/ ]" /proc/self/mountinfo; then
  echo "FAIL: something is still mounted under $root" >&2
  status=1
  mounted=1
fi
# The build trees were made inside the root: keep them with --keep only.
if [ "$keep" -eq 0 ] && [ "$mounted" -eq 0 ]; then
  rm -rf --one-file-system "$root" "$src"
  echo "try-trixie: root removed; logs in $logs"
else
  echo "try-trixie: root kept in $root, project in $src, logs in $logs"
fi
if [ "$status" -eq 0 ]; then
  echo "try-trixie: both commands pass on $suite"
else
  echo "try-trixie: FAILED (logs in $logs)"
fi
exit "$status"
