#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Packs the build tree with cpack into a temporary folder, unpacks the .deb there (it is never
# installed) and checks its files, their metadata, its dependencies, and that the unpacked program
# shows its window and exits cleanly when the window is closed.
# Usage: check_package.sh BUILD_DIR CPACK_COMMAND PROJECT_VERSION
set -euo pipefail
build=$1 cpack=$2 version=$3
here=$(cd "$(dirname "$0")" && pwd)
id=example.zeluvar.Zeluvar
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$here/../../scripts/lib/common.sh"

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/out/zeluvar_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack wrote: $(cd "$work/out" && echo *.deb)"
echo "built $(basename "$deb")"

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

# Closing the window asks the desktop to open the home page through xdg-open: a stub records it.
mkdir -p "$work/stub" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
calls=$work/xdg-open.calls
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$calls" >"$work/stub/xdg-open"
chmod +x "$work/stub/xdg-open"
env -u WAYLAND_DISPLAY -u SESSION_MANAGER -u DBUS_SESSION_BUS_ADDRESS \
  PATH="$work/stub:$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1024x768x24" /usr/bin/python3 "$here/open_and_close.py" "$bin" Zeluvar ||
  fail "the program did not show its window and exit with status 0 when it was closed"
# xdg-open is started detached, so it may finish after the program.
for _ in $(seq 50); do [ -s "$calls" ] && break; sleep 0.1; done
[ "$(cat "$calls" 2>/dev/null)" = "https://zeluvar.example/" ] ||
  fail "closing did not open https://zeluvar.example/ once (xdg-open calls: $(cat "$calls" 2>/dev/null))"

echo "package OK"
