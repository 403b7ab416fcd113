#!/usr/bin/env bash
# Checks what a user gets from the Debian package that scripts/build-package.sh
# built from a Release tree and unpacked into BUILD_DIR/package-check/out:
#
#   scripts/check-package.sh BUILD_DIR
#
# the files in their places, a valid desktop entry whose Exec and Icon resolve
# inside the package, the metainfo naming that entry, the manual page and the
# copyright file and changelog, library dependencies from dpkg-shlibdeps plus
# the Qt platform plugins, a hardened program with no build folder's path in it
# whose libraries all resolve, and a program that opens its window, with its
# icon, and keeps running.
set -euo pipefail

build=$(cd "${1:?usage: check-package.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$here/scripts/displays.sh"
trap displays_cleanup EXIT
scratch=$build/package-check
debs=("$scratch"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one .deb, got: ${debs[*]}" >&2
  exit 1
fi
deb=${debs[0]}
root=$scratch/out/root
echo "checking $(basename "$deb")"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Files in their places. The program's id names the desktop entry, the
# metainfo and the icon.
id=org.example.hanging_chain
exe=$root/usr/bin/hanging-chain
desktop=$root/usr/share/applications/$id.desktop
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
icons=$root/usr/share/icons/hicolor
doc=$root/usr/share/doc/hanging-chain
for f in "$exe" "$desktop" "$metainfo" "$icons/scalable/apps/$id.svg" "$icons/256x256/apps/$id.png" \
  "$root/usr/share/man/man6/hanging-chain.6.gz" "$doc/copyright" "$doc/changelog.gz"; do
  [ -f "$f" ] || fail "missing ${f#"$root"}"
done
[ -x "$exe" ] || fail "usr/bin/hanging-chain is not executable"
file -b "$icons/256x256/apps/$id.png" | grep -q '^PNG image data, 256 x 256' \
  || fail "the 256x256 icon is not a 256 x 256 PNG"
grep -q '<svg' "$icons/scalable/apps/$id.svg" || fail "the scalable icon is no SVG"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" 2>/dev/null \
  || fail "the metainfo does not launch $id.desktop"
grep -q "<release version=\"$(dpkg-deb -f "$deb" Version)\" date=\"[0-9-]*\"" "$metainfo" 2>/dev/null \
  || fail "the metainfo has no dated release of the package's version"
cmp -s <(sed -n '/^Permission is hereby granted/,$p' "$here/LICENSE") \
  <(sed -n '/^ Permission is hereby granted/,$p' "$doc/copyright" | sed 's/^ //; s/^\.$//') \
  || fail "the copyright file does not carry LICENSE's text"
unexpected=$(cd "$root" && find . -type f ! -path './usr/bin/*' ! -path './usr/share/*' | head -5)
[ -z "$unexpected" ] || fail "files outside /usr/bin and /usr/share: $unexpected"

# The desktop entry: valid (warnings count, hints do not), and what it names exists.
if [ -f "$desktop" ]; then
  if ! out=$(desktop-file-validate "$desktop" 2>&1) || grep -Eq '(error|warning):' <<<"$out"; then
    fail "desktop-file-validate: $out"
  fi
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  icon_name=$(sed -n 's/^Icon=//p' "$desktop")
  [ -x "$root/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not in usr/bin"
  [ -f "$icons/scalable/apps/$icon_name.svg" ] || fail "Icon=$icon_name has no SVG"
  for key in Name Comment Categories; do
    grep -q "^$key=." "$desktop" || fail "desktop entry lacks $key"
  done
fi

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = hanging-chain ] || fail "Package is '$(field Package)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
depends=$(field Depends)
# A library renamed for the 64-bit time_t (Debian 13: libqt6core6t64) counts
# as itself.
for dep in libc6 "libstdc\\+\\+6" libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins; do
  grep -Eq "(^|, )$dep(t64)?( |,|$)" <<<"$depends" || fail "Depends lacks $dep: $depends"
done
grep -Eq 'libqt6widgets6(t64)? \(>= [0-9]' <<<"$depends" || fail "Depends has no versions from shlibdeps: $depends"
echo "Depends: $depends"

# Starts the program on a virtual X display: its window must appear with the
# caption and the icon, and the program must keep running until it is ended.
check_window() {
  local exe=$1 prog win
  displays_start_xvfb --screen 800x700x24 || { fail "Xvfb did not start"; return; }
  "$exe" >"$scratch/run.log" 2>&1 &
  prog=$!
  DISPLAYS_PIDS+=("$prog")
  if win=$(timeout 15 xdotool search --sync --onlyvisible --pid "$prog" 2>/dev/null | head -1) \
      && [ -n "$win" ]; then
    xprop -id "$win" WM_NAME | grep -q '"Brenmo Quillet - Varnholt"' \
      || fail "the window's caption: $(xprop -id "$win" WM_NAME)"
    xprop -id "$win" -f _NET_WM_ICON 32c _NET_WM_ICON \
      | grep -Eq '= [1-9][0-9]*, [1-9][0-9]*, ' || fail "the window shows no icon"
    sleep 1
    kill -0 "$prog" 2>/dev/null || fail "the program ended by itself"
  else
    fail "the program's window did not appear"
    cat "$scratch/run.log" >&2
  fi
  displays_cleanup
}

# The packaged (stripped) program: hardened, every library found, starts.
if [ -f "$exe" ]; then
  "$here/scripts/check-hardening.sh" "$build" "$exe" >/dev/null || fail "packaged program not hardened"
  for path in "$here" "$build"; do
    ! grep -qF "$path" "$exe" || fail "the packaged program contains the path $path"
  done
  missing=$(ldd "$exe" | grep 'not found' || true)
  [ -z "$missing" ] || fail "libraries not found: $missing"
  check_window "$exe"
fi

if [ "$failures" -gt 0 ]; then
  echo "package: $failures problem(s)" >&2
  exit 1
fi
echo "package: all checks passed"
