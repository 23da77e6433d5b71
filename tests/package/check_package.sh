#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Packs the build tree with cpack into a temporary folder, has lintian check the .deb as Debian
# would, unpacks it there (it is never installed) and checks its files, their metadata, its
# dependencies, and that the unpacked program shows its window and exits cleanly when the window
# is closed.
# Usage: check_package.sh BUILD_DIR CPACK_COMMAND
set -euo pipefail
build=$1 cpack=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$build/identity.sh"
version=$zeluvar_version id=$zeluvar_app_id
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$here/../../scripts/lib/common.sh"

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/out/zeluvar_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack wrote: $(cd "$work/out" && echo *.deb)"
echo "built $(basename "$deb")"
# Warnings too: --fail-on warning alone would let errors pass.
lintian --fail-on error,warning "$deb" || fail "lintian finds errors or warnings in the package"

[ "$(dpkg-deb -f "$deb" Package)" = zeluvar ] || fail "package name is not zeluvar"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
grep -q 'libqt6widgets6' <<<"$depends" || fail "Depends lacks libqt6widgets6"
# Code page 936 is compiled in: the program itself needs no ICU.
! grep -q 'libicu' <<<"$depends" || fail "Depends names libicu"

root=$work/root
dpkg-deb -x "$deb" "$root"
[ "$(ls "$root")" = usr ] || fail "files outside /usr: $(ls "$root")"

bin=$root/usr/bin/zeluvar
desktop=$root/usr/share/applications/$id.desktop
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
icons=$root/usr/share/icons/hicolor
[ -x "$bin" ] || fail "no executable usr/bin/zeluvar"
for size in 16 24 32 48 64 128 256; do
  png=$icons/${size}x$size/apps/$id.png
  [ -f "$png" ] || fail "no ${size}x$size icon"
  file -b "$png" | grep -q "^PNG image data, $size x $size," || fail "${size}x$size icon is $(file -b "$png")"
done
file -b "$icons/scalable/apps/$id.svg" | grep -q SVG || fail "no scalable SVG icon"

desktop-file-validate "$desktop" || fail "desktop entry is not valid"
grep -qx 'Exec=zeluvar' "$desktop" || fail "desktop entry does not run plain zeluvar"
grep -qx "Icon=$id" "$desktop" || fail "desktop entry does not name icon $id"
appstreamcli validate --no-net "$metainfo" || fail "metainfo is not valid"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "metainfo does not launch $id.desktop"

# The changelog lists the metainfo's releases, versions and dates, in the same order.
doc=$root/usr/share/doc/zeluvar
releases=$(grep -o '<release version="[^"]*" date="[^"]*"' "$metainfo" | cut -d'"' -f2,4 | tr '"' ' ')
entries=$(zcat "$doc/changelog.gz" | sed -n 's/^zeluvar (\(.*\)) .*/\1/p; s/^ -- .*>  //p' | paste - - |
  while IFS=$'\t' read -r entry_version entry_date; do echo "$entry_version $(date -u -d "$entry_date" +%F)"; done)
[ "$entries" = "$releases" ] ||
  fail "changelog entries (version date) '$entries' are not the metainfo's releases '$releases'"
# The license the copyright file gives the program is the one the metainfo names.
license=$(sed -n 's:.*<project_license>\(.*\)</project_license>.*:\1:p' "$metainfo")
copyright_license=$(awk '/^Files: \*$/ { whole = 1 } whole && /^License:/ { print $2; exit }' "$doc/copyright")
[ "$copyright_license" = "$license" ] ||
  fail "the copyright file gives Files: * the license '$copyright_license', the metainfo '$license'"

# Closing the window asks the desktop to open the home page through xdg-open: a stub records it.
mkdir -p "$work/stub" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
calls=$work/xdg-open.calls
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$calls" >"$work/stub/xdg-open"
chmod +x "$work/stub/xdg-open"
env -u WAYLAND_DISPLAY -u SESSION_MANAGER -u DBUS_SESSION_BUS_ADDRESS \
  PATH="$work/stub:$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1024x768x24" /usr/bin/python3 "$here/open_and_close.py" "$bin" "$zeluvar_name" ||
  fail "the program did not show its window and exit with status 0 when it was closed"
# xdg-open is started detached, so it may finish after the program.
for _ in $(seq 50); do [ -s "$calls" ] && break; sleep 0.1; done
[ "$(cat "$calls" 2>/dev/null)" = "$zeluvar_home_page" ] ||
  fail "closing did not open $zeluvar_home_page once (xdg-open calls: $(cat "$calls" 2>/dev/null))"

echo "package OK"
